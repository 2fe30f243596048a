#include "register/variants.h"

namespace lagrull {

const RegisterCaptions& registerCaptions(RegisterKind kind) {
    static const RegisterCaptions members{"  -  Medlemsregister",
                                          "Medlemmer",
                                          "Ant. medl.",
                                          "Automatisk tildeling av medl.nr.",
                                          "Kontingentvarianter",
                                          "Medl.nr",
                                          "Medlemskapsdato",
                                          "Kontingent",
                                          "Medlemskategori",
                                          " Annen medlemsinformasjon",
                                          "&Generere betalingsposter",
                                          "Genere betalingsposter",
                                          "&Medl.nr",
                                          true};
    static const RegisterCaptions rent{"  -  Husleieregister",
                                       "&Leietakere",
                                       "Antall",
                                       "Automatisk tildeling av nr.",
                                       "Husleie",
                                       "Leiet.nr",
                                       "Utleie fra dato",
                                       "Husleie",
                                       "HusleieKategori",
                                       "Annen utleieinformasjon",
                                       "&Husleieinnkreving",
                                       "Husleieinnkreving",
                                       "&Leietakernr",
                                       false};
    return kind == RegisterKind::Rent ? rent : members;
}

}  // namespace lagrull
