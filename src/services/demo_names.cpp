#include "services/demo_names.h"

namespace lagrull::demo {

namespace {

DemoWords makeWords() {
    DemoWords w;
    w.womensNames = {"Anne",   "Inger",  "Kari",  "Marit",    "Ingrid",     "Liv",     "Eva",
                     "Berit",  "Astrid", "Bjørg", "Hilde",    "Anna",       "Solveig", "Marianne",
                     "Randi",  "Ida",    "Nina",  "Maria",    "Elisabeth",  "Kristin", "Tone",
                     "Nora",   "Emma",   "Sofie", "Ingeborg", "Åse",        "Sigrid",  "Ragnhild",
                     "Torill", "Mari",   "Silje", "Camilla",  "Anne Marie", "Kjersti", "Sølvi",
                     "Thea",   "Live",   "Hanne", "Gunhild",  "Tuva"};
    w.mensNames = {"Jan",    "Per",   "Bjørn",  "Ole",    "Lars",       "Kjell", "Knut",
                   "Arne",   "Svein", "Thomas", "Hans",   "Geir",       "Tor",   "Morten",
                   "Terje",  "Odd",   "Erik",   "Martin", "Andreas",    "John",  "Anders",
                   "Rune",   "Trond", "Harald", "Jon",    "Øyvind",     "Håkon", "Magnus",
                   "Sindre", "Jakob", "Emil",   "Henrik", "Aksel",      "Ståle", "Eirik",
                   "Jørgen", "Nils",  "Gunnar", "Ola",    "Lars Petter"};
    w.surnames = {
        "Hansen",    "Johansen",      "Olsen",      "Larsen",     "Andersen",    "Pedersen",
        "Nilsen",    "Kristiansen",   "Jensen",     "Karlsen",    "Johnsen",     "Pettersen",
        "Eriksen",   "Berg",          "Haugen",     "Hagen",      "Johannessen", "Andreassen",
        "Jacobsen",  "Dahl",          "Jørgensen",  "Halvorsen",  "Henriksen",   "Lund",
        "Sørensen",  "Jakobsen",      "Moen",       "Gundersen",  "Iversen",     "Strand",
        "Solberg",   "Svendsen",      "Eide",       "Knutsen",    "Martinsen",   "Paulsen",
        "Bakken",    "Kristoffersen", "Mathisen",   "Lie",        "Amundsen",    "Nguyen",
        "Rasmussen", "Ali",           "Lunde",      "Solheim",    "Berge",       "Moe",
        "Nygård",    "Bakke",         "Kristensen", "Fredriksen", "Holm",        "Lien",
        "Hauge",     "Christensen",   "Andresen",   "Nielsen",    "Knudsen",     "Evensen",
        "Sæther",    "Aas",           "Myhre",      "Hanssen",    "Ahmed",       "Haugland",
        "Thomassen", "Sivertsen",     "Simonsen",   "Danielsen",  "Berntsen",    "Sandvik",
        "Rønning",   "Arnesen",       "Antonsen",   "Næss",       "Vik",         "Haug",
        "Ellingsen", "Thorsen",       "Edvardsen",  "Birkeland",  "Isaksen",     "Gulbrandsen",
        "Ødegård",   "Wold",          "Bråten",     "Ødegaard",   "Aasen",       "Fossum",
        "Kowalski",  "Åsheim",        "Brekke",     "Tangen",     "Fjeld",       "Skogen"};
    w.streets = {
        "Storgata",         "Kirkeveien",     "Skolegata",        "Granveien",   "Bjørkeveien",
        "Furuveien",        "Fjellveien",     "Solbakken",        "Eikeveien",   "Lønneveien",
        "Industrivegen",    "Havnegata",      "Prestegårdsveien", "Løkkeveien",  "Åsveien",
        "Bakkeveien",       "Gamle Kongevei", "Strandvegen",      "Tollbodgata", "Kongens gate",
        "Dronningens gate", "Parkveien",      "Nordre gate",      "Søndre gate", "Møllevegen",
        "Kvernhusvegen",    "Tunvegen",       "Sjøgata",          "Hagebyveien", "Rådhusgata",
        "Stasjonsveien",    "Bekkefaret",     "Skogstien",        "Rypeveien",   "Tyttebærstien",
        "Sætervegen",       "Elvebakken",     "Jernbanegata",     "Torggata",    "Øvre Slottsgate"};
    w.places = {"Fjellstad",  "Nordby",  "Vestås", "Solvik",  "Heimdal",  "Åsgård",
                "Bjørkelund", "Sandnes", "Øvrebø", "Lysaker", "Strømmen", "Kvamme"};
    w.mailDomains = {"gmail.com", "online.no", "hotmail.com", "outlook.com",
                     "yahoo.no",  "live.no",   "icloud.com",  "epost.no"};
    w.employers = {"Fjellstad kommune",      "Hansen Rør AS",         "Vestlandet Helseforetak",
                   "Nordlys Elektro AS",     "Bakeriet på Torget AS", "Sparebanken Midt-Norge",
                   "Statens vegvesen",       "Solvik barnehage",      "Øvrebø Transport AS",
                   "Universitetet i Bergen", "Coop Nordvest",         "Skogen Regnskap AS"};
    w.notes = {"Betaler for hele familien",
               "Ønsker ikke e-post",
               "Ny adresse fra 1. mars",
               "Æresmedlem siden 2015",
               "Har permisjon dette året",
               "Kontakt via foresatte",
               "Betaler alltid kontant på årsmøtet"};
    // Registration numbers of Norwegian bank branches (the first four digits).
    w.bankPrefixes = {"1503", "1506", "1607", "1254", "3000", "3201", "3624",
                      "4202", "6030", "8601", "9710", "1822", "2801", "0530"};
    w.personalRelations = {{"Garderobeskap", "Skap nr. i klubbhuset", 250.0},
                           {"Kurs høst 2025", "Påmeldt kurs", 900.0},
                           {"Rabatt", "Søskenrabatt", -200.0},
                           {"Gave", "Frivillig gave", 500.0}};
    w.profiles = {
        {"Idrettslag",
         {{"Senior", 850.0, true, 0, 2006},
          {"Junior", 450.0, true, 2007},
          {"Familie", 1500.0, true},
          {"Honnør", 500.0, true, 0, 1958},
          {"Støttemedlem", 250.0, false}},
         {{"Styret", "Styremedlem", 0.0},
          {"Trener", "Trener eller lagleder", 0.0},
          {"Fotball", "Treningsavgift fotball", 1200.0},
          {"Ski", "Treningsavgift ski", 900.0},
          {"Lisens", "Lisens og forsikring", 350.0},
          {"Dugnadsfritak", "Kjøpt fri fra dugnad", 600.0}},
         {"Lag/gruppe", "Draktnummer", "Politiattest", "", "Foresatt"},
         {{"G12", "J14", "Senior A", "Old boys", "Mosjon"},
          {"4", "7", "10", "11", "17", "23"},
          {"Levert 2024", "Levert 2025", "Mangler"},
          {},
          {"Mor", "Far", "Verge"}},
         "Medlemskontingent"},
        {"Sangkor",
         {{"Ordinær", 1200.0, true},
          {"Student", 600.0, true, 1995, 2007},
          {"Passiv", 300.0, false}},
         {{"Styret", "Styremedlem", 0.0},
          {"Notekomité", "Ansvar for noter", 0.0},
          {"Instrumentleie", "Leie av instrument", 800.0},
          {"Seminar", "Seminaravgift", 1500.0}},
         {"Stemmegruppe", "Instrument"},
         {{"Sopran 1", "Sopran 2", "Alt 1", "Alt 2", "Tenor", "Bass"},
          {"Piano", "Fiolin", "Cello", "Fløyte", "Gitar", "Ingen"}},
         "Korkontingent"},
        {"Vel",
         {{"Husstand", 400.0, true}, {"Enkeltmedlem", 250.0, true}, {"Hytteeier", 0.0, false}},
         {{"Styret", "Styremedlem", 0.0},
          {"Brøyting", "Brøyting av privat vei", 1200.0},
          {"Båtplass", "Båtplass i felleshavna", 1500.0},
          {"Nøkkel grendehus", "Depositum nøkkel", 100.0}},
         {"Gnr/bnr", "", "Nøkkel nr"},
         {{"12/4", "12/7", "13/1", "14/22", "15/3", "21/8"}, {}, {"N101", "N102", "N117", "N230"}},
         "Årskontingent"},
    };
    return w;
}

}  // namespace

const DemoWords& demoWords() {
    static const DemoWords words = makeWords();
    return words;
}

std::string mailName(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == 0xC3 && i + 1 < name.size()) {  // the two-byte æøåÆØÅé of UTF-8
            switch (static_cast<unsigned char>(name[++i])) {
                case 0xA6:
                case 0x86: out += "ae"; break;
                case 0xB8:
                case 0x98: out += "o"; break;
                case 0xA5:
                case 0x85: out += "a"; break;
                case 0xA9:
                case 0x89: out += "e"; break;
                default: break;
            }
        } else if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c - 'A' + 'a');
        } else if ((c >= 'a' && c <= 'z') || c == '-') {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace lagrull::demo
