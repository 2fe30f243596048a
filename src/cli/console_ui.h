#pragma once
// The console Ui of lagrul-cli: messages go to stderr as "caption: text";
// questions are answered by --yes / --no (without either, a question is
// answered No / Cancel so that an unattended run never agrees by accident);
// input boxes take their answers from --input=TEXT, in order.

#include <deque>
#include <iosfwd>
#include <string>

#include "common/ui.h"

namespace lagrull::cli {

class ConsoleUi : public Ui {
public:
    enum class Default { None, Yes, No };
    ConsoleUi(std::ostream& err, Default answer, std::deque<std::string> inputs)
        : err_(err), answer_(answer), inputs_(std::move(inputs)) {}

    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
    void closeWait() override {}
    void progressBegin() override {}
    void progressSet(int) override {}
    void progressEnd() override {}
    std::optional<std::string> openFileName(const FileRequest& request) override;
    std::optional<std::string> saveFileName(const FileRequest& request) override;
    std::optional<std::string> directoryName(const FileRequest& request, bool) override;
    void setBusy(bool) override {}
    void processEvents() override {}

protected:
    Answer doMessage(const std::string& caption, const std::string& text, Buttons buttons,
                     Icon icon) override;
    void doShowWait(const std::string&, const std::string&) override {}

private:
    std::optional<std::string> nextInput(const std::string& caption);

    std::ostream& err_;
    Default answer_;
    std::deque<std::string> inputs_;
};

}  // namespace lagrull::cli
