#include "cli/console_ui.h"

#include <ostream>

namespace lagrull::cli {

namespace {
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}
}  // namespace

Answer ConsoleUi::doMessage(const std::string& caption, const std::string& text, Buttons buttons,
                            Icon) {
    err_ << (caption.empty() ? std::string() : oneLine(caption) + ": ") << oneLine(text) << '\n';
    const bool yes = answer_ == Default::Yes;
    switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::OkCancel: return yes ? Answer::Ok : Answer::Cancel;
        case Buttons::YesNo: return yes ? Answer::Yes : Answer::No;
        case Buttons::YesNoCancel:
            return yes ? Answer::Yes : answer_ == Default::No ? Answer::No : Answer::Cancel;
    }
    return Answer::Cancel;
}

std::optional<std::string> ConsoleUi::nextInput(const std::string& caption) {
    if (inputs_.empty()) {
        err_ << oneLine(caption) << ": avbrutt (ingen --input)\n";
        return std::nullopt;
    }
    std::string value = inputs_.front();
    inputs_.pop_front();
    return value;
}

std::optional<std::string> ConsoleUi::inputBox(const std::string& caption,
                                               const std::string& prompt, const std::string&) {
    err_ << oneLine(prepareMessageText(caption)) << ": " << oneLine(prepareMessageText(prompt))
         << '\n';
    return nextInput(caption);
}

std::optional<std::string> ConsoleUi::openFileName(const FileRequest& request) {
    return nextInput(request.caption);
}

std::optional<std::string> ConsoleUi::saveFileName(const FileRequest& request) {
    return nextInput(request.caption);
}

std::optional<std::string> ConsoleUi::directoryName(const FileRequest& request, bool) {
    return nextInput(request.caption);
}

}  // namespace lagrull::cli
