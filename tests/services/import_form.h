#pragma once
// The window "Importer fil" answered with a file and OK, as a user who takes
// the guessed columns does.

#include <string>

#include "services/import_form_logic.h"
#include "services/member_import.h"

namespace lagrull::test {

class OkForm : public TImportFormStep {
public:
    explicit OkForm(std::string file) : file_(std::move(file)) {}
    bool ShowModal(TImportFormLogic& logic) override {
        return logic.ChooseFile(file_) && logic.CheckTypes() < 0 && logic.Run(nullptr, {});
    }

private:
    std::string file_;
};

}  // namespace lagrull::test
