#include "common/ui.h"

#include <algorithm>

namespace lagrull {

namespace {

// The four DOS Nordic letters that old texts carry, as single bytes or as
// the C1 code points a byte-wise conversion made of them.
std::string nordicLetter(unsigned code) {
    switch (code) {
        case 134: return "å";
        case 145: return "æ";
        case 146: return "Æ";
        case 155: return "ø";
        default: return {};
    }
}

}  // namespace

std::string prepareMessageText(const std::string& text) {
    const bool keepBackslash =
        text.find(":\\") != std::string::npos || (!text.empty() && text.front() == '\\');
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '~' || (c == '\\' && !keepBackslash)) {
            out += '\n';
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   !nordicLetter(static_cast<unsigned char>(text[i + 1])).empty()) {
            out += nordicLetter(static_cast<unsigned char>(text[i + 1]));  // U+0086 etc.
            ++i;
        } else if (c >= 0x80 && !nordicLetter(c).empty()) {
            // A lone byte 134/145/146/155 is never valid UTF-8 on its own:
            // it is a letter of the old code page.
            const bool continuation = i > 0 && (static_cast<unsigned char>(text[i - 1]) & 0x80);
            if (continuation)
                out += static_cast<char>(c);
            else
                out += nordicLetter(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

Answer Ui::message(const std::string& caption, const std::string& text, Buttons buttons,
                   Icon icon) {
    std::string shownCaption = caption;
    if (shownCaption.empty() && icon == Icon::Error) shownCaption = "Feil!";
    return doMessage(prepareMessageText(shownCaption), prepareMessageText(text), buttons, icon);
}

void Ui::error(const std::string& text, const std::string& caption) {
    message(caption, text, Buttons::Ok, Icon::Error);
}

void Ui::information(const std::string& caption, const std::string& text) {
    message(caption, text, Buttons::Ok, Icon::Information);
}

void Ui::warning(const std::string& caption, const std::string& text) {
    message(caption, text, Buttons::Ok, Icon::Warning);
}

bool Ui::confirm(const std::string& caption, const std::string& text) {
    return message(caption, text, Buttons::YesNo, Icon::Question) == Answer::Yes;
}

void Ui::showWait(const std::string& caption, const std::string& text) {
    doShowWait(prepareMessageText(caption), prepareMessageText(text));
}

void EventPump::tick() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ >= interval_) {
        last_ = now;
        ui_.processEvents();
    }
}

ProgressWindow::ProgressWindow(Ui& ui, long long total) : ui_(ui), pump_(ui), total_(total) {
    ui_.progressBegin();
    step(0);
}

ProgressWindow::~ProgressWindow() {
    if (open_) ui_.progressEnd();
}

void ProgressWindow::step(long long done) {
    done_ = done < 0 ? done_ + 1 : done;
    const int percent =
        total_ <= 0 ? 0 : static_cast<int>(std::clamp(done_ * 100 / total_, 0LL, 100LL));
    if (percent != percent_) {
        percent_ = percent;
        ui_.progressSet(percent);
    }
    pump_.tick();
}

void ProgressWindow::finish() {
    if (!open_) return;
    ui_.progressSet(100);
    ui_.progressEnd();
    open_ = false;
}

}  // namespace lagrull
