// libFuzzer target for the reader of the clearing house's return files: any
// bytes read as a file must give the three lists or be refused whole, and
// every item delivered must answer its questions.
#include <filesystem>
#include <system_error>

#include "clearing/bbs_retur.h"
#include "common/error.h"
#include "fuzz_support.h"

namespace {

using namespace lagrull::clearing;

// Keeps the entries of full agreement lists too, as the import does.
class KeepAllReader : public TBBSRetur {
public:
    using TBBSRetur::TBBSRetur;
    bool SkipStatus(const TBBSReturItemAvtaleStatus&) override { return false; }
};

void touch(const TBBSReturItem& item) {
    (void)item.Dato();
    (void)item.Kid();
    (void)item.Forsendelsesnr();
    (void)item.Linje1().Line();
}

void touchAgreement(const TBBSReturItemAvtaleStatus& item) {
    touch(item);
    (void)item.OnskerVarsel();
    try {
        (void)item.ErSlettet();
    } catch (const lagrull::Error&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = lagrull::fuzz;
    static fuzz::QuietUi ui;
    const auto file = fuzz::writeScratchFile("OCR.txt", fuzz::asText(data, size));
    KeepAllReader reader(ui, fuzz::scratchDirectory());
    try {
        reader.LoadFromFile(file);
        for (int i = 0; i < reader.Betalinger().Count(); ++i) {
            const auto& payment = reader.Betalinger().Items(i);
            touch(payment);
            (void)payment.Belop();
            (void)payment.ErTilbakeforing();
        }
        for (int i = 0; i < reader.Endringer().Count(); ++i)
            touchAgreement(reader.Endringer().Items(i));
        for (int i = 0; i < reader.Statusliste().Count(); ++i)
            touchAgreement(reader.Statusliste().Items(i));
        (void)reader.Betalinger().IndexOfKid("1234", 1, 10);
    } catch (const lagrull::Error&) {
    }
    // A transmission with nothing for the register was archived: keep the
    // archive from growing over millions of runs.
    if (!reader.ArkivKatalog().empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(reader.ArkivKatalog(), ignored);
    }
    return 0;
}
