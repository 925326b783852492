#pragma once
#include "store/sql_database.h"

namespace pelk {

// The version of the tables this program writes.
inline constexpr int kSchemaVersion = 3;

// Brings a store to kSchemaVersion in one transaction: creates the tables in an empty store,
// migrates an older one. A store of a newer version is refused (StoreError) and left as it is.
void prepareSchema(SqlDatabase& db);

// The version a store holds, 0 for an empty one.
int schemaVersion(SqlDatabase& db);

}  // namespace pelk
