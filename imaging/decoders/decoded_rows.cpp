#include "imaging/decoders/decoded_rows.h"

#include "imaging/decoders/decoder_support.h"

#include <cstring>

DecodedRows::DecodedRows(std::uint8_t* buffer, std::size_t stride, int height, int flags)
    : m_buffer(buffer)
    , m_stride(stride)
    , m_height(height)
    , m_flags(flags)
{
}

DecodedRows::DecodedRows(DecodedRowSink& sink, std::uint8_t* row, int width, int height, int pixelBytes)
    : m_buffer(row)
    , m_height(height)
    , m_sink(&sink)
    , m_width(width)
    , m_pixelBytes(pixelBytes)
{
}

void DecodedRows::fillBlack()
{
    const std::size_t bytes = static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_pixelBytes);
    std::memset(m_buffer, 0, bytes);
    if (m_pixelBytes == 4) {
        for (std::size_t i = 3; i < bytes; i += 4) {
            m_buffer[i] = 255;
        }
    }
}

std::uint8_t* DecodedRows::place(int row)
{
    if (m_sink == nullptr) {
        return decodedRowAddress(m_buffer, m_stride, row, m_height, m_flags);
    }
    if (!m_begun) {
        fillBlack();
        m_begun = true;
    }
    return m_buffer;
}

void DecodedRows::complete(int row)
{
    if (m_sink == nullptr) {
        ++m_delivered;
        return;
    }
    if (row != m_completeRows || m_completeRows >= m_height) {
        return;
    }
    m_sink->takeRow(m_buffer);
    ++m_completeRows;
    m_begun = false;
}

void DecodedRows::completeWithBlack()
{
    if (m_sink == nullptr) {
        return;
    }
    while (m_completeRows < m_height) {
        place(m_completeRows);
        complete(m_completeRows);
    }
}
