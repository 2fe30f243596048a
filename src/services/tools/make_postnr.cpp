// lagrul-postnr: writes Postnr.num from a postal register.
//   lagrul-postnr REGISTER OUT
// REGISTER is the norway-postal-codes package's postal-codes-simple.js, or
// the postal service's tab-separated register file (recognised by its tabs).
#include <iostream>

#include "common/error.h"
#include "common/file_names.h"
#include "services/postnr_writer.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "Bruk: lagrul-postnr REGISTERFIL Postnr.num\n";
        return 2;
    }
    try {
        const std::string input = lagrull::readFileBytes(argv[1]);
        const lagrull::PostalRegister reg = input.find('\t') != std::string::npos
                                                ? lagrull::readPostalRegisterTsv(input)
                                                : lagrull::readPostalCodesJs(input);
        lagrull::writeFileBytes(argv[2], lagrull::makePostnrFile(reg));
        std::cout << reg.size() << " postnumre skrevet til " << argv[2] << '\n';
        return 0;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}
