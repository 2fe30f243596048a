#pragma once
// FILLIN answers on the console: taken in order from the answers given on
// the command line, else each field keeps its default; every answer is
// printed as "FILLIN <prompt>: <answer>".

#include <deque>
#include <ostream>
#include <string>

#include "template/merge/fillin.h"

namespace lagrull::cli {

class ConsoleFillIn : public TFillInPrompter {
public:
    ConsoleFillIn(std::deque<std::string> answers, std::ostream& out)
        : answers_(std::move(answers)), out_(out) {}
    bool ask(const std::string&, std::vector<TFillinRec>& entries) override {
        for (TFillinRec& e : entries) {
            if (!answers_.empty()) {
                e.text = answers_.front();
                answers_.pop_front();
            }
            if (e.checkBox)
                e.checked = e.text == "1" || e.text == "ja" || (e.checked && e.text.empty());
            out_ << "FILLIN " << e.prompt << ": " << e.text << '\n';
        }
        return true;
    }

private:
    std::deque<std::string> answers_;
    std::ostream& out_;
};

}  // namespace lagrull::cli
