#pragma once
#include <string>

namespace pelk {

// The SQL script writers: each reads one result file (or takes a result) and writes its fixed
// script into the current directory. None keeps state.
void tpaSql(const std::string& fn, const std::string& patientId, const std::string& testId);
void param1Sql(const std::string& fn, const std::string& patientId, const std::string& testId);
void map1Sql(const std::string& fn, const std::string& patientId, const std::string& testId);
void rra1Sql(const std::string& patientId, const std::string& testId, bool isSig, double result);
void rra2Sql(const std::string& patientId, const std::string& testId, bool isSig, double result);
void mchsSql(const std::string& fn, const std::string& patientId, const std::string& testId);
void zchsSql(const std::string& fn, const std::string& patientId, const std::string& testId);
void cluster1Sql(const std::string& fn, const std::string& patientId, const std::string& testId);
void diffbmpSql(const std::string& fn, const std::string& patientId, const std::string& testId);

}  // namespace pelk
