// make_paradox_register DIR [--kodetabell 1252|865] [--gammel]
//   [--organisasjoner N] [--medlemmer N] [--krav N]
// Writes a generated register of the older version's Paradox tables, for the
// kill test and the benchmark.
#include <iostream>
#include <string>

#include "migration/paradox_writer.h"

int main(int argc, char** argv) {
    using namespace lagrull::test;
    if (argc < 2) {
        std::cerr << "bruk: make_paradox_register KATALOG [valg]\n";
        return 2;
    }
    RegisterOptions o;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() { return i + 1 < argc ? std::stoll(argv[++i]) : 0LL; };
        if (a == "--gammel")
            o.layout = Layout::Old;
        else if (a == "--kodetabell")
            o.codePage = static_cast<int>(next());
        else if (a == "--organisasjoner")
            o.organisations = static_cast<int>(next());
        else if (a == "--medlemmer")
            o.membersPerOrganisation = next();
        else if (a == "--krav")
            o.claimsPerMember = static_cast<int>(next());
        else {
            std::cerr << "ukjent valg: " << a << '\n';
            return 2;
        }
    }
    writeRegister(argv[1], o, false);
    return 0;
}
