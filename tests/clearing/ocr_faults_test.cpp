// The OCR import under injected faults, through the function lagrul-cli
// ocr-import and the menu run: after each fault the register holds all of
// the file's payments and agreement changes or none, and the user is told.
#include <gtest/gtest.h>

#include <fstream>

#include "clearing/ocr_import.h"
#include "data/data_store.h"
#include "demo_store.h"
#include "fault_walk.h"
#include "ocr_file.h"
#include "scripted_ui.h"

namespace lagrull::test {
namespace {

namespace fs = std::filesystem;

struct NoReport : clearing::TBBSRapportMottaker {
    void AddLine(const clearing::TBBSRapportLinje&) override {}
};

// The demo register with claims, and a return file beside it that pays
// every second claim and changes an agreement.
void writeRegisterAndFile(const fs::path& dir) {
    demo::DemoOptions options;
    options.members = 40;
    options.claims = true;
    makeDemoStore(dir, options);
    ScriptedUi ui;
    data::DataStore store(ui, "", dir.string());
    store.start();
    OcrFile file;
    data::Statement s = store.dbLocal().prepare("SELECT KID FROM MBETREG WHERE KID <> ''");
    std::string last;
    for (int i = 0; s.step(); ++i)
        if (i % 2 == 0) file.payment(last = s.columnText(0), 12300, "311299");
    file.agreement('1', last, 'J');
    std::ofstream(dir / "ocr.txt", std::ios::binary) << file.text();
}

TEST(OcrFaults, ImportIsAllOrNothing) {
    walkFaultPlans("ocr-import",
                   {writeRegisterAndFile, [](const fs::path& dir, Ui& ui) {
                        data::DataStore store(ui, "", dir.string());
                        store.start();
                        NoReport report;
                        clearing::importOcrFile(
                            ui, store.dbLocal(), dir, dir / "ocr.txt",
                            [&]() -> clearing::TBBSRapportMottaker& { return report; });
                    }});
}

}  // namespace
}  // namespace lagrull::test
