#include "capture_document.h"

#include <cstdint>

#include <utility>

ModelChange CaptureDocument::run(std::unique_ptr<ModelCommand> command)
{
    if (!command)
        return {};
    const ModelChange change = command->apply(m_model);
    if (change.kind == ModelChange::Kind::None)
        return change;
    m_undone.clear();
    m_done.push_back({ m_nextId++, std::move(command) });
    noteValues();
    return change;
}

ModelChange CaptureDocument::undo()
{
    if (m_done.empty())
        return {};
    Step step = std::move(m_done.back());
    m_done.pop_back();
    const ModelChange change = step.command->revert(m_model);
    m_undone.push_back(std::move(step));
    noteValues();
    return change;
}

ModelChange CaptureDocument::redo()
{
    if (m_undone.empty())
        return {};
    Step step = std::move(m_undone.back());
    m_undone.pop_back();
    const ModelChange change = step.command->apply(m_model);
    m_done.push_back(std::move(step));
    noteValues();
    return change;
}

void CaptureDocument::startWith(CaptureModel model)
{
    m_model = std::move(model);
    m_done.clear();
    m_undone.clear();
    markSaved();
}

void CaptureDocument::markSaved()
{
    m_savedPosition = position();
    m_savedFingerprint = m_model.fingerprint();
    m_heldValue = true;
}

void CaptureDocument::markNeverSaved()
{
    // No history position is this one, and no table with a value has the fingerprint of none.
    m_savedPosition = UINT64_MAX;
    m_savedFingerprint = CaptureModel().fingerprint();
    m_heldValue = m_model.filledCells() > 0;
}

bool CaptureDocument::isUnsaved() const
{
    return m_heldValue && position() != m_savedPosition && m_model.fingerprint() != m_savedFingerprint;
}

void CaptureDocument::noteValues()
{
    if (m_model.filledCells() > 0)
        m_heldValue = true;
}
