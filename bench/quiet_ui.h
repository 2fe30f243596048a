#pragma once
// A Ui for benchmarks: shows nothing, answers every question with its first
// button and every input box with the next prepared answer.

#include <deque>
#include <string>

#include "common/ui.h"

namespace lagrull::bench {

class QuietUi : public Ui {
public:
    std::deque<std::string> inputs;

    std::optional<std::string> inputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        if (inputs.empty()) return std::nullopt;
        std::string answer = inputs.front();
        inputs.pop_front();
        return answer;
    }
    void closeWait() override {}
    void progressBegin() override {}
    void progressSet(int) override {}
    void progressEnd() override {}
    std::optional<std::string> openFileName(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFileName(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> directoryName(const FileRequest&, bool) override {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    void processEvents() override {}

protected:
    Answer doMessage(const std::string&, const std::string&, Buttons buttons, Icon) override {
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    void doShowWait(const std::string&, const std::string&) override {}
};

}  // namespace lagrull::bench
