// Builds the demo hospital database (an SQLite file) from the schema and seed
// scripts in data/. Used by ./run on first start and by the tests.
#pragma once

#include <string>

namespace tools {

inline constexpr int kDemoPatients = 3000;

// Creates `dbPath` afresh from `schemaSql` and `seedSql` (SQL scripts). The
// placeholder {{PASSWORD:text}} in the seed becomes the scrambled form of text,
// {{PATIENTS}} the number of generated admissions.
// Raises core::Error with the database's message on failure.
void BuildDemoDatabase(const std::string& dbPath, const std::string& schemaSql, const std::string& seedSql,
                       int patients = kDemoPatients);

// As above, reading demo_schema.sql and demo_seed.sql (and any demo_*.sql
// that follow in name order) from `dataDir`.
void BuildDemoDatabaseFromDir(const std::string& dbPath, const std::string& dataDir,
                              int patients = kDemoPatients);

// Writes the demo settings file (registry stand-in) for the embedded database.
void WriteDemoSettings(const std::string& iniPath, const std::string& databaseName);

}  // namespace tools
