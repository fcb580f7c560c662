#pragma once

#include "capture_model.h"
#include "model_command.h"

#include <cstdint>
#include <memory>
#include <vector>

// The captured data of one diagram with its history: every change goes through run() as a
// command, which makes undo and redo possible without limit, and the unsaved mark follows
// from the history alone.
//
// The mark: the data is unsaved while the history stands elsewhere than where it stood at the
// last save or load and the table differs from what it held there (a column added and removed
// again is no change), or, before either, from the table the diagram started with. A table
// that never held a value is never unsaved.
class CaptureDocument {
public:
    const CaptureModel& model() const { return m_model; }
    // The calibration a new diagram starts with; not a change to undo.
    void startWith(const CaptureCalibration& calibration) { m_model.setCurrentCalibration(calibration); }
    // The data of an opened project: the model as it is, with no history, nothing unsaved.
    void startWith(CaptureModel model);

    // Applies the command and records it for undo (dropping what could be redone); a command
    // that changed nothing is not recorded.
    ModelChange run(std::unique_ptr<ModelCommand> command);
    [[nodiscard]] bool canUndo() const { return !m_done.empty(); }
    [[nodiscard]] bool canRedo() const { return !m_undone.empty(); }
    // The change made, or one of kind None when there is nothing to undo or redo.
    ModelChange undo();
    ModelChange redo();

    // The data is what a file now holds.
    void markSaved();
    // The data is in no file the user chose (work brought back after a crash): unsaved as soon as
    // it holds a value.
    void markNeverSaved();
    [[nodiscard]] bool isUnsaved() const;

private:
    struct Step {
        std::uint64_t id;
        std::unique_ptr<ModelCommand> command;
    };

    std::uint64_t position() const { return m_done.empty() ? 0 : m_done.back().id; }
    void noteValues();

    CaptureModel m_model;
    std::vector<Step> m_done;
    std::vector<Step> m_undone;
    std::uint64_t m_nextId = 1;
    std::uint64_t m_savedPosition = 0;
    std::uint64_t m_savedFingerprint = m_model.fingerprint();
    bool m_heldValue = false;
};
