#include "toolkit/requester_script.h"

#include <deque>
#include <utility>

namespace {

struct Script {
    bool on = false;
    std::deque<RequesterAnswer> answers;
    std::vector<RequesterQuestion> asked;
};

Script& script()
{
    static Script instance;
    return instance;
}

void push(RequesterAnswer answer)
{
    script().answers.push_back(std::move(answer));
}

} // namespace

void scriptRequesters(bool on)
{
    Script& current = script();
    current.on = on;
    current.answers.clear();
    current.asked.clear();
}

bool requestersScripted()
{
    return script().on;
}

void scriptMessageAnswer(int code)
{
    RequesterAnswer answer;
    answer.kind = RequesterKind::Message;
    answer.code = code;
    push(std::move(answer));
}

void scriptInputAnswer(std::string text)
{
    RequesterAnswer answer;
    answer.kind = RequesterKind::Input;
    answer.text = std::move(text);
    push(std::move(answer));
}

void scriptOpenFileAnswer(std::vector<std::string> files)
{
    RequesterAnswer answer;
    answer.kind = RequesterKind::OpenFile;
    answer.files = std::move(files);
    push(std::move(answer));
}

void scriptSaveFileAnswer(std::string path)
{
    RequesterAnswer answer;
    answer.kind = RequesterKind::SaveFile;
    if (!path.empty())
        answer.files.push_back(std::move(path));
    push(std::move(answer));
}

int pendingRequesterAnswers()
{
    return static_cast<int>(script().answers.size());
}

const std::vector<RequesterQuestion>& askedRequesters()
{
    return script().asked;
}

std::optional<RequesterAnswer> consultRequesterScript(const RequesterQuestion& question)
{
    Script& current = script();
    if (!current.on)
        return std::nullopt;
    current.asked.push_back(question);
    if (current.answers.empty() || current.answers.front().kind != question.kind) {
        RequesterAnswer nothing;
        nothing.kind = question.kind;
        return nothing;
    }
    RequesterAnswer answer = std::move(current.answers.front());
    current.answers.pop_front();
    return answer;
}
