#pragma once

#include <optional>
#include <string>
#include <vector>

// The seam through which requesters are answered without a person: every requester consults
// the script before it shows anything. While the script is on, no requester shows a desktop
// dialog or window; each takes the next scripted answer instead. Tests of the application use
// this to drive it in-process, and read back which requesters were asked for what.
//
// Rules:
// - Answers are taken first in, first out. A requester whose next answer is of another kind,
//   or that finds none left, gets the nothing answer of its kind (message 0, the empty string,
//   no files); the answer stays for the next requester.
// - Every consulted requester is recorded while the script is on.
// - Texts are the bytes the requesters take and give: ISO 8859-1, file paths as file system
//   bytes.

enum class RequesterKind {
    Message,
    Input,
    OpenFile,
    SaveFile,
};

struct RequesterQuestion {
    RequesterKind kind = RequesterKind::Message;
    std::string title;
    std::string text; // message requester and input requester: the message
    std::string defaultText; // input requester: the default text; file requesters: the default path
    int flags = 0;
};

struct RequesterAnswer {
    RequesterKind kind = RequesterKind::Message;
    int code = 0; // message requester
    std::string text; // input requester
    std::vector<std::string> files; // file requesters, in the order chosen; empty: cancelled
};

// Turns the script on (answers and records cleared) or off.
void scriptRequesters(bool on);
bool requestersScripted();

void scriptMessageAnswer(int code);
void scriptInputAnswer(std::string text);
void scriptOpenFileAnswer(std::vector<std::string> files);
void scriptSaveFileAnswer(std::string path);

// Answers not yet taken.
int pendingRequesterAnswers();
// The requesters consulted since the script was turned on, oldest first.
const std::vector<RequesterQuestion>& askedRequesters();

// For the requesters: the answer to give, or nothing when the script is off and the requester
// is to be shown.
std::optional<RequesterAnswer> consultRequesterScript(const RequesterQuestion& question);
