#include "scripted_ui.h"

namespace lagrull::test {

std::optional<std::string> ScriptedUi::inputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& value) {
    prompts.push_back({caption, prompt, value});
    if (inputs.empty()) return std::nullopt;
    auto answer = inputs.front();
    inputs.pop_front();
    return answer;
}

Answer ScriptedUi::doMessage(const std::string& caption, const std::string& text, Buttons buttons,
                             Icon icon) {
    messages.push_back({caption, text, buttons, icon});
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
}

void ScriptedUi::doShowWait(const std::string& caption, const std::string& text) {
    waits.emplace_back(caption, text);
    waitOpen = true;
}

std::vector<std::string> ScriptedUi::texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
}

std::optional<std::string> ScriptedUi::nextFile() {
    if (files.empty()) return std::nullopt;
    auto answer = files.front();
    files.pop_front();
    return answer;
}

}  // namespace lagrull::test
