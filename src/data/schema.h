#pragma once
// The register's eight tables, exactly as the program creates them and
// brings older tables up to them.

#include "data/table_def.h"

namespace lagrull::data {

const TTableDef& orgregDef();          // ORGREG.DB, 22 fields
const TTableDef& medlregDef();         // MEDLREG.DB, 33 fields
const TTableDef& kontgrpDef();         // KONTGRP.DB, 4 fields
const TTableDef& relregDef();          // RELREG.DB, 5 fields
const TTableDef& relregStandardDef();  // RelregStandard.db, 4 fields
const TTableDef& mbetregDef();         // MBETREG.DB, 27 fields
const TTableDef& copytabDef();         // COPYTAB.DB, 24 fields
const TTableDef& persListDef();        // PersList.db, 2 fields, no index

// The width of MBETREG.KID: a KID from a due date after 17 October 2025 has
// 23 characters, and the clearing house's KID fields are 25 wide.
inline constexpr int kKidFieldSize = 25;

}  // namespace lagrull::data
