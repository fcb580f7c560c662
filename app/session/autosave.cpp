#include "autosave.h"

#include "session_store.h"
#include "session_writer.h"
#include "user_folders.h"

#include "app/data_table.h"
#include "app/message_dialog.h"
#include "app/status_prompt.h"
#include "app/translations.h"
#include "app/work_text.h"

#include "runtime/atomic_file.h"
#include "runtime/latin1.h"
#include "runtime/text_builder.h"
#include "toolkit/requesters.h"

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// Changes closer together than this share one write: a change waits at most this long (plus one
// pass of the event loop and the write) before it is on the disk. The rest of the second a change
// may take to reach the disk is left to a busy machine: a flush to a disk that other programs
// keep busy, a writer's thread that waits for a core.
constexpr auto WRITE_INTERVAL = std::chrono::milliseconds(300);
constexpr auto RETRY_INTERVAL = std::chrono::seconds(5);
// A session larger than this is no work of this program.
constexpr std::size_t MAX_SESSION_SIZE = 512u << 20;

struct Autosave {
    SessionStore store;
    SessionWriter writer;
    std::uint64_t submittedStamp = 0;
    bool anySubmitted = false;
    Clock::time_point submittedAt {};
    std::string reportedFailure;
    // Why the work as it stands cannot be written at all (a table beyond a project's limit).
    std::string workFailure;
    std::uint64_t writes = 0;

    explicit Autosave(std::string folder)
        : store(std::move(folder))
    {
    }
};

std::unique_ptr<Autosave> g_autosave;
bool g_agreedWithoutAsking = false;
bool g_keepForRestore = false;

void submitWork(Autosave& autosave, std::uint64_t stamp)
{
    // The work is copied here; the text is made on the writer's thread. Work that cannot be
    // written as a project (a table beyond a project's limit) leaves the last session that could
    // be as it is, rather than putting an unreadable one in its place, and the user is told.
    autosave.workFailure.clear();
    if (auto makeText = currentWorkTextMaker(std::string(), autosave.workFailure))
        autosave.writer.submit(autosave.store.workPath(), std::move(makeText), stamp);
    autosave.submittedStamp = stamp;
    autosave.anySubmitted = true;
    autosave.submittedAt = Clock::now();
    ++autosave.writes;
}

// A failing disk is told once per reason in the status bar: the user must not believe the work
// safe when it is not.
void reportFailure(Autosave& autosave)
{
    // The work's own failure is already in the user's language; the disk's comes from the system.
    const bool ofTheWork = !autosave.workFailure.empty();
    const std::string failure = ofTheWork ? autosave.workFailure : autosave.writer.lastFailure();
    if (failure == autosave.reportedFailure)
        return;
    autosave.reportedFailure = failure;
    if (failure.empty())
        return;
    if (ofTheWork) {
        showNotice(WorkText(translate("The work could not be autosaved:"), " ", failure.c_str()));
        return;
    }
    std::fprintf(stderr, "graphonite: the session could not be written to %s: %s\n",
        autosave.store.workPath().c_str(), failure.c_str());
    showNotice(WorkText(translate("The work could not be autosaved:"), " ",
        makeText([&failure] { appendUtf8AsLatin1(failure); })));
}

std::string fillPattern(const std::string& pattern, const std::string& first, const std::string& second)
{
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            text += pattern[i + 1] == '1' ? first : second;
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

// What the user is asked about one session; Yes restores it.
bool restoreSession(SessionStore& store, StaleSession& session)
{
    std::string text;
    if (const std::string reason = readWholeFile(session.workPath, text, MAX_SESSION_SIZE); !reason.empty()) {
        std::fprintf(stderr, "graphonite: %s: %s\n", session.workPath.c_str(), reason.c_str());
        store.keepAside(std::move(session));
        return false;
    }
    WorkSummary summary;
    std::string error;
    if (!summarizeWorkText(text, summary, error)) {
        std::fprintf(stderr, "graphonite: %s cannot be restored; it is kept as %s.unreadable\n",
            session.workPath.c_str(), session.workPath.c_str());
        store.setUnreadableAside(std::move(session));
        return false;
    }
    const String name = makeText([&summary] { appendUtf8AsLatin1(summary.pictureName); });
    const std::string question = unfinishedWorkText(name.c_str(), summary.pointCount);
    // The program's own dialog, whose buttons speak the user's language ("Ja", "Nein").
    if (messageDialog(translate("Restore Unfinished Work"), question.c_str(), DIALOG_YES_NO, ICON_QUESTION)
        != ANSWER_YES) {
        store.keepAside(std::move(session));
        return false;
    }
    if (!restoreWorkText(text, session.workPath, error)) {
        messageDialog(translate("Restore Unfinished Work"), error.c_str(), DIALOG_OK, ICON_PROHIBITION);
        store.keepAside(std::move(session));
        return false;
    }
    markDataNeverSaved();
    store.adopt(std::move(session));
    return true;
}

} // namespace

std::string unfinishedWorkText(const std::string& pictureName, std::size_t points)
{
    const char* pattern = points == 1
        ? "The program ended before this work was saved: %1 with one point. Do you want to restore it?"
        : "The program ended before this work was saved: %1 with %2 points. Do you want to restore it?";
    return fillPattern(translate(pattern), pictureName, std::to_string(points));
}

void startAutosave()
{
    g_agreedWithoutAsking = false;
    g_keepForRestore = false;
    const std::string folder = stateFolder();
    auto autosave = std::make_unique<Autosave>(folder);
    if (const std::string reason = autosave->store.create(); !reason.empty()) {
        std::fprintf(stderr, "graphonite: no autosave, the folder %s cannot hold the session: %s\n",
            folder.empty() ? "(no HOME)" : folder.c_str(), reason.c_str());
        return;
    }
    g_autosave = std::move(autosave);
}

bool offerUnfinishedWork()
{
    if (!g_autosave)
        return false;
    std::vector<StaleSession> sessions = g_autosave->store.findStaleSessions();
    for (StaleSession& session : sessions) {
        // One work at a time: the others stay for a later start (their locks go with them).
        if (restoreSession(g_autosave->store, session))
            return true;
    }
    return false;
}

void autosaveStep()
{
    if (!g_autosave)
        return;
    Autosave& autosave = *g_autosave;
    const std::uint64_t stamp = workChangeCount();
    // The work as the program started (a picture just opened, or a session just restored from
    // its file) is nothing to lose; the session is written from the first change on.
    if (!autosave.anySubmitted) {
        autosave.submittedStamp = stamp;
        autosave.anySubmitted = true;
        return;
    }
    if (stamp == autosave.submittedStamp) {
        reportFailure(autosave);
        // A failed write (a full disk, say) is tried again now and then: space may come back.
        if (autosave.reportedFailure.empty() || Clock::now() - autosave.submittedAt < RETRY_INTERVAL)
            return;
    }
    if (Clock::now() - autosave.submittedAt < WRITE_INTERVAL)
        return;
    submitWork(autosave, stamp);
}

bool saveSessionNow()
{
    if (!g_autosave)
        return false;
    Autosave& autosave = *g_autosave;
    submitWork(autosave, workChangeCount());
    const bool written = autosave.writer.flush();
    reportFailure(autosave);
    return written;
}

void sessionWorkSaved()
{
    if (!g_autosave)
        return;
    g_autosave->writer.cancel();
    g_autosave->store.removeWork();
    g_autosave->submittedStamp = workChangeCount();
    g_autosave->anySubmitted = true;
}

int agreeToSessionEndKeepingWork(int mayAsk)
{
    g_agreedWithoutAsking = false;
    if (mayAsk || !isDataModified())
        return agreeToSessionEnd(mayAsk);
    if (!saveSessionNow())
        return agreeToSessionEnd(mayAsk);
    g_agreedWithoutAsking = true;
    return 1;
}

void noteQuitConfirmed(bool byDesktop)
{
    g_keepForRestore = byDesktop && g_agreedWithoutAsking;
}

void endAutosave()
{
    if (!g_autosave)
        return;
    if (g_keepForRestore) {
        (void)saveSessionNow();
    } else {
        g_autosave->writer.cancel();
        g_autosave->store.removeSessions();
    }
    g_autosave.reset();
    g_agreedWithoutAsking = false;
    g_keepForRestore = false;
}

std::string sessionWorkPath()
{
    return g_autosave ? g_autosave->store.workPath() : std::string();
}

std::uint64_t sessionWriteCount()
{
    return g_autosave ? g_autosave->writes : 0;
}
