#include <cstdio>

#include "store/history_format.h"

namespace pelk {
namespace {

std::string f3(double v) { return threeDecimals(v); }

}  // namespace

std::string describeRun(const RunRecord& run) {
  std::string out = run.command + " started " + run.startedAt + ", ended " + run.endedAt +
                    " (program " + run.programVersion + ")\n";
  out += run.completed ? "Completed\n" : "Stopped: " + run.error + "\n";
  out += "Folder: " + run.workDir + "\n";
  out += "Patient: " + run.patient + "  Test: " + run.test + "  Hospital: " + run.hospital +
         "  Date: " + run.testDate + "\n";
  for (const ScanRecord& s : run.scans) {
    out += s.role + ": " + s.path;
    if (s.size) out += "  " + std::to_string(*s.size) + " bytes";
    if (s.width && s.height)
      out += "  " + std::to_string(*s.width) + " x " + std::to_string(*s.height);
    if (s.sha256) out += "  sha256 " + *s.sha256;
    out += s.size ? "\n" : "  (not readable)\n";
  }
  const RunResults& r = run.results;
  for (const RankResult& k : r.rank)
    out += k.analysis + ": " + f3(k.result) +
           (k.significant ? " significant\n" : " not significant\n");
  if (!r.mchs.empty()) out += "MCHS blocks (idx x y value xb yb):\n";
  for (const MchsBlock& b : r.mchs)
    out += "  " + std::to_string(b.idx) + " " + std::to_string(b.x) + " " + std::to_string(b.y) +
           " " + f3(b.value) + " " + std::to_string(b.xb) + " " + std::to_string(b.yb) + "\n";
  if (!r.zchs.empty()) out += "ZCHS zones (idx zone difference):\n";
  for (const ZchsZone& z : r.zchs)
    out += "  " + std::to_string(z.idx) + " " + f3(z.zone) + " " + f3(z.difference) + "\n";
  if (!r.clusters.empty()) out += "Regions (group idx x1 y1 dx dy area intensity xb yb):\n";
  for (const ClusterRegion& c : r.clusters)
    out += "  " + std::to_string(c.group) + " " + std::to_string(c.idx) + " " +
           std::to_string(c.x1) + " " + std::to_string(c.y1) + " " + std::to_string(c.dx) + " " +
           std::to_string(c.dy) + " " + std::to_string(c.area) + " " + f3(c.intensity) + " " +
           std::to_string(c.xb) + " " + std::to_string(c.yb) + "\n";
  if (r.progression) {
    int group = 1;
    for (const ProgressionGroup* g : {&r.progression->group1, &r.progression->group2})
      out += "Group " + std::to_string(group++) + ": total area " + f3(g->totalArea) +
             ", mean intensity " + f3(g->meanIntensity) + ", tumour index " + f3(g->tumorIndex) +
             "\n";
    out += "Tumor Progression is " + r.progression->verdict + "\n";
  }
  if (r.robust) {
    out += "Robust verdict: " + r.robust->verdict + ", lesion burden " +
           std::to_string(r.robust->burden1) + " -> " + std::to_string(r.robust->burden2) +
           " pixels, " + std::to_string(r.robust->newLesions) + " new\n";
    for (const RobustComponent& c : r.robust->components)
      out += "  follow-up " + std::to_string(c.followup) + ": area " + std::to_string(c.area) +
             ", mean change " + f3(c.meanChange) + ", centre " + f3(c.centroidX) + ", " +
             f3(c.centroidY) + (c.isNew ? ", new\n" : "\n");
  }
  if (r.study) {
    const StudyProgression& st = *r.study;
    out += "Study verdict: " + st.verdict.value_or("none (one follow-up)") + ", lesion burden";
    for (std::size_t i = 0; i < st.burdenMm3.size(); ++i)
      out += (i ? " -> " : " ") + f3(st.burdenMm3[i]);
    out += " mm3, " + std::to_string(st.newLesions) + " new, slice " + std::to_string(st.slice) +
           ", files in " + st.folder + "\n";
    for (std::size_t i = 0; i < st.followUps.size(); ++i) {
      const StudyFollowUp& f = st.followUps[i];
      out += "  follow-up " + std::to_string(i + 1) + " registered: rotation " +
             f3(f.rotationDeg[0]) + " " + f3(f.rotationDeg[1]) + " " + f3(f.rotationDeg[2]) +
             " deg, shift " + f3(f.translationMm[0]) + " " + f3(f.translationMm[1]) + " " +
             f3(f.translationMm[2]) + " mm" + (f.converged ? "\n" : ", not converged\n");
    }
    for (const StudyLesion& l : st.lesions)
      out += "  follow-up " + std::to_string(l.followup) + ": lesion " + f3(l.volumeMm3) +
             " mm3, mean change " + f3(l.meanChange) + (l.isNew ? ", new\n" : "\n");
  }
  return out;
}

}  // namespace pelk
