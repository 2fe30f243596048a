#pragma once
// The control words the document builder understands, looked up once per
// word so that the handlers can switch on them.

#include <cstdint>
#include <string_view>

namespace lagrull {

// One group of control words per comment; kept by hand, as the formatter
// would stagger the continuation lines.
// clang-format off
#define LAGRULL_RTF_WORDS(X)                                                                       \
    /* character */                                                                                \
    X(plain) X(b) X(i) X(caps) X(scaps) X(outl) X(shad) X(strike) X(striked) X(strikedl) X(v)      \
    X(ul) X(uld) X(uldash) X(uldashd) X(uldashdd) X(uldb) X(ulth) X(ulw) X(ulwave) X(ulnone)       \
    X(up) X(dn) X(sub) X(super) X(nosupersub) X(f) X(fs) X(cf) X(cb) X(expnd) X(expndtw)           \
    X(kerning) X(chcfpat) X(chcbpat) X(chshdng) X(u) X(uc)                                         \
    /* paragraph */                                                                                \
    X(pard) X(par) X(s) X(cs) X(ds) X(fi) X(li) X(ri) X(ql) X(qr) X(qj) X(qc) X(sb) X(sa)          \
    X(sl) X(slmult) X(keep) X(keepn) X(pagebb) X(widctlpar) X(nowidctlpar) X(tx) X(tql) X(tqr)     \
    X(tqc) X(tqdec) X(tldot) X(tlhyph) X(tlul) X(tlth) X(tleq) X(tab) X(line) X(page)              \
    X(column)                                                                                      \
    /* borders and shading */                                                                      \
    X(brdrt) X(brdrb) X(brdrl) X(brdrr) X(brdrbtw) X(brdrtw) X(brdrbar) X(box) X(brdrw)            \
    X(brdrcf) X(brdrs) X(brdrth) X(brdrsh) X(brdrdb) X(brdrdot) X(brdrdash) X(brdrhair)            \
    X(brdrnone) X(brdrnil) X(brdrtbl) X(brdrtriple) X(brdrdashsm) X(brdrdashd) X(brdrdashdd)       \
    X(brsp) X(shading) X(cfpat) X(cbpat) X(bghoriz) X(bgvert) X(bgfdiag) X(bgbdiag) X(bgcross)     \
    X(bgdcross) X(bgdkhor) X(bgdkvert) X(bgdkfdiag) X(bgdkbdiag) X(bgdkcross) X(bgdkdcross)        \
    /* tables */                                                                                   \
    X(trowd) X(trgaph) X(trleft) X(trrh) X(trhdr) X(trkeep) X(trql) X(trqr) X(trqc) X(tblind)      \
    X(tblindtype) X(trpaddl) X(trbrdrt) X(trbrdrb) X(trbrdrl) X(trbrdrr) X(trbrdrh) X(trbrdrv)     \
    X(cellx) X(intbl) X(cell) X(row) X(clbrdrt) X(clbrdrb) X(clbrdrl) X(clbrdrr) X(clvertalt)      \
    X(clvertalc) X(clvertalb) X(cltxlrtb) X(cltxbtlr) X(cltxtbrl) X(clshdng) X(clcfpat)            \
    X(clcbpat) X(clbghoriz) X(clbgvert) X(clbgfdiag) X(clbgbdiag) X(clbgcross) X(clbgdcross)       \
    X(clbgdkhor) X(clbgdkvert) X(clbgdkfdiag) X(clbgdkbdiag) X(clbgdkcross) X(clbgdkdcross)        \
    X(clvmgf) X(clvmrg) X(clmgf) X(clmrg)                                                          \
    /* document */                                                                                 \
    X(paperw) X(paperh) X(margl) X(margr) X(margt) X(margb) X(landscape) X(facingp) X(gutter)      \
    X(deftab) X(hyphhotz) X(hyphauto) X(widowctrl) X(headery) X(footery)                           \
    /* section */                                                                                  \
    X(sect) X(sectd) X(pgwsxn) X(pghsxn) X(marglsxn) X(margrsxn) X(margtsxn) X(margbsxn)           \
    X(lndscpsxn) X(sbknone) X(sbkcol) X(sbkpage) X(sbkeven) X(sbkodd) X(binsxn) X(binfsxn)         \
    X(cols) X(colsx) X(pgnstarts) X(pgnrestart) X(pgncont) X(uselogicalpagesize)                   \
    /* page fields */                                                                              \
    X(chpgn) X(numpages) X(sectnum)                                                                \
    /* frames */                                                                                   \
    X(absw) X(absh) X(posx) X(posnegx) X(posxc) X(posxi) X(posxo) X(posxl) X(posxr) X(posy)        \
    X(posnegy) X(posyt) X(posyil) X(posyb) X(posyc) X(posyin) X(phmrg) X(phpg) X(phcol)            \
    X(pvmrg) X(pvpg) X(pvpara) X(dfrmtxtx) X(dfrmtxty) X(dfrmtxt) X(dfrtext) X(abslock)            \
    X(nowrap) X(overlay)                                                                           \
    /* destinations */                                                                             \
    X(header) X(headerl) X(headerr) X(headerf) X(footer) X(footerl) X(footerr) X(footerf)          \
    X(field) X(fldinst) X(fldrslt) X(pict) X(do) X(shp) X(shpgrp) X(shpinst) X(shprslt)            \
    X(shptxt) X(shppict) X(nonshppict) X(footnote) X(sp) X(sn) X(sv) X(xe) X(tc) X(bkmkstart)      \
    X(bkmkend) X(annotation) X(atnid) X(atnauthor)                                                 \
    /* drawing objects */                                                                          \
    X(dpline) X(dprect) X(dpellipse) X(dparc) X(dppolyline) X(dppolygon) X(dptxbx)                 \
    X(dpcallout) X(dpgroup) X(dpendgroup) X(dpx) X(dpy) X(dpxsize) X(dpysize) X(dpptx)             \
    X(dppty) X(dplinew) X(dplinecor) X(dplinecog) X(dplinecob) X(dplinehollow) X(dpfillbgcr)       \
    X(dpfillbgcg) X(dpfillbgcb) X(dpfillpat) X(dproundr) X(dparcflipx) X(dparcflipy)               \
    X(dobxpage) X(dobxmargin) X(dobxcolumn) X(dobypage) X(dobymargin) X(dobypara)                  \
    X(dptxbxtext) X(dppolycount)                                                                   \
    /* shapes */                                                                                   \
    X(shpleft) X(shptop) X(shpright) X(shpbottom) X(shpz) X(shpbxpage) X(shpbxmargin)              \
    X(shpbxcolumn) X(shpbypage) X(shpbymargin) X(shpbypara)
// clang-format on

enum class RtfWord : std::uint16_t {
    unknown,
#define LAGRULL_RTF_WORD_ENUM(name) w_##name,
    LAGRULL_RTF_WORDS(LAGRULL_RTF_WORD_ENUM)
#undef LAGRULL_RTF_WORD_ENUM
};

RtfWord lookupRtfWord(std::string_view word);

}  // namespace lagrull
