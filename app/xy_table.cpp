#include "xy_table.h"

#include <string_view>

namespace {

constexpr std::string_view X_SUFFIX = " x";
constexpr std::string_view Y_SUFFIX = " y";

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

} // namespace

int shownColumnCount(const CaptureModel& model)
{
    return model.capturesXy() ? 2 * model.columnCount() : model.columnCount();
}

int firstShownColumn(const CaptureModel& model, int column)
{
    return model.capturesXy() ? 2 * column : column;
}

std::string shownTitle(const CaptureModel& model, int shown)
{
    if (!model.capturesXy())
        return model.series(shown).title;
    return model.series(shown / 2).title + std::string(shown % 2 == 0 ? X_SUFFIX : Y_SUFFIX);
}

std::string shownCellText(const CaptureModel& model, int row, int shown)
{
    if (!model.capturesXy())
        return model.cellText(row, shown);
    return shown % 2 == 0 ? model.cellXText(row, shown / 2) : model.cellText(row, shown / 2);
}

TableData tableOf(const CaptureModel& model)
{
    TableData table;
    const int columns = shownColumnCount(model);
    table.titles.reserve(static_cast<std::size_t>(columns));
    for (int shown = 0; shown < columns; ++shown)
        table.titles.push_back(shownTitle(model, shown));
    table.rows.reserve(static_cast<std::size_t>(model.rowCount()));
    for (int row = 0; row < model.rowCount(); ++row) {
        auto& cells = table.rows.emplace_back();
        cells.reserve(static_cast<std::size_t>(columns));
        for (int shown = 0; shown < columns; ++shown)
            cells.push_back(shownCellText(model, row, shown));
    }
    return table;
}

std::optional<std::vector<std::string>> pairSeriesTitles(const std::vector<std::string>& titles)
{
    if (titles.empty() || titles.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::string> series;
    for (std::size_t i = 0; i < titles.size(); i += 2) {
        const std::string_view x = titles[i];
        const std::string_view y = titles[i + 1];
        if (!endsWith(x, X_SUFFIX) || !endsWith(y, Y_SUFFIX))
            return std::nullopt;
        const std::string_view title = x.substr(0, x.size() - X_SUFFIX.size());
        if (y.substr(0, y.size() - Y_SUFFIX.size()) != title)
            return std::nullopt;
        series.emplace_back(title);
    }
    return series;
}
