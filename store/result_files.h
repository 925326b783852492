#pragma once
#include <string>
#include <string_view>

#include "store/run_record.h"

namespace pelk {

// Readers of the result files the analyses write, each giving the values the file holds.
// A file whose content is not of its known form throws StoreError naming it.
RankResult readRankScript(const std::string& path, std::string analysis);  // rra1.sql, rra2.sql
std::vector<MchsBlock> readMchsResults(const std::string& path);           // mchs-results.dat
std::vector<ZchsZone> readZchsZones(const std::string& path);              // zchs.dat
std::vector<ClusterRegion> readClusterRegions(const std::string& path, int group);  // *.db.txt.dat
LegacyProgression readProgressionTotals(const std::string& path);                   // tpa.dat
RobustProgression readRobustProgression(const std::string& path);  // progression.json
StudyProgression readStudyResults(const std::string& path);        // study.json

}  // namespace pelk
