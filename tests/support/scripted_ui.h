#pragma once
// A Ui for tests: replays scripted answers and records everything shown, so
// that a test can assert the exact Norwegian caption and text.

#include <deque>
#include <string>
#include <vector>

#include "common/ui.h"

namespace lagrull::test {

struct ShownMessage {
    std::string caption;  // after the text rules
    std::string text;     // after the text rules ("\n" for line breaks)
    Buttons buttons;
    Icon icon;
};

class ScriptedUi : public Ui {
public:
    // Answers for the next message boxes, in order. When none is left, a box
    // gets its first button (Ok or Yes).
    std::deque<Answer> answers;
    // Answers for the next input boxes; nullopt is "Avbryt".
    std::deque<std::optional<std::string>> inputs;
    // Answers for the next file and directory dialogs.
    std::deque<std::optional<std::string>> files;

    std::vector<ShownMessage> messages;
    struct Prompt {
        std::string caption, prompt, value;
    };
    std::vector<Prompt> prompts;
    std::vector<std::pair<std::string, std::string>> waits;  // caption, text
    std::vector<int> progress;                               // every gauge value set
    int progressWindows = 0;
    bool waitOpen = false;
    int busyDepth = 0;
    int eventsProcessed = 0;

    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
    void closeWait() override { waitOpen = false; }
    void progressBegin() override { ++progressWindows; }
    void progressSet(int percent) override { progress.push_back(percent); }
    void progressEnd() override {}
    std::optional<std::string> openFileName(const FileRequest&) override { return nextFile(); }
    std::optional<std::string> saveFileName(const FileRequest&) override { return nextFile(); }
    std::optional<std::string> directoryName(const FileRequest&, bool) override {
        return nextFile();
    }
    void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }
    void processEvents() override { ++eventsProcessed; }

    // The texts of all message boxes shown, for compact assertions.
    std::vector<std::string> texts() const;

protected:
    Answer doMessage(const std::string& caption, const std::string& text, Buttons buttons,
                     Icon icon) override;
    void doShowWait(const std::string& caption, const std::string& text) override;

private:
    std::optional<std::string> nextFile();
};

}  // namespace lagrull::test
