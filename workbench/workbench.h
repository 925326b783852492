#pragma once
#include <functional>
#include <string>
#include <vector>

#include "common/picture.h"
#include "maps/tform103.h"
#include "maps/tform1031.h"
#include "maps/tform104.h"
#include "maps/tform120.h"
#include "profiles/tform101.h"
#include "profiles/tform102.h"
#include "regions/tform130.h"
#include "regions/tform150.h"
#include "regions/tform170.h"
#include "workbench/command_control.h"
#include "workbench/dialogs.h"
#include "workbench/module_slot.h"
#include "workbench/printer.h"
#include "workbench/results_area.h"
#include "workbench/test_info.h"

namespace pelk {

struct ImportRequest;
struct ScanVolume;

// What the image view shows, for a front end that labels it.
enum class ViewContent {
  Blank,
  Scan,
  DifferenceImage,
  Highlights,
  FalseColour,
  ProgressionOverlay,
  StudyComparison
};

// Where "Compare studies…" writes a study: the folder "<name>-study" beside the baseline, <name>
// being a file's name without its extension (both parts of ".nii.gz") or a folder's whole name.
std::string studyFolderFor(const std::string& baseline);

// The three scan fields.
enum class ScanField { Standard, Reference, Third };

// The last module object the workbench created of each class.
struct ModuleObjects {
  ModuleSlot<TForm101> form101;
  ModuleSlot<TForm102> form102;
  ModuleSlot<TForm103> form103;
  ModuleSlot<TForm1031> form1031;
  ModuleSlot<TForm104> form104;
  ModuleSlot<TForm120> form120;
  ModuleSlot<TForm130> form130;
  ModuleSlot<TForm150> form150;
  ModuleSlot<TForm170> form170;
};

// The main window without a toolkit: its state and one handler per button. Each handler runs
// its steps in order; an IoError ends the command at the failing step, keeps the lines and
// files made so far, and is shown through the dialogs, after which the next command runs as
// usual. The image names are used exactly as the fields hold them.
class Workbench {
 public:
  // Start-up: the test information set to "*****", the two test-mode buttons hidden, and
  // "test101.bmp" from the working directory drawn into the view (a failure is shown and the
  // view stays blank). Without a printer, "Print" reports that none is available.
  explicit Workbench(Dialogs& dialogs, Printer* printer = nullptr);

  std::string Edit1 = "Edit1";  // standard image
  std::string Edit2 = "Edit2";  // reference image
  std::string Edit3 = "Edit3";  // third image ("Output File")
  int RadioGroup1 = -1;         // 0 "Std", 1 "Ref", -1 none
  ResultsArea Memo1;
  Picture Image1;
  TestInformation TestInfo;
  bool Button9Visible = true;   // "10. TES"
  bool Button15Visible = true;  // "false color-Test Mode Only"
  ViewContent ViewShows = ViewContent::Blank;
  std::string ViewCaption;  // one line saying what the view shows

  void Button1Click() { exitRequested_ = true; }  // "Exit"
  void Button2Click();                            // "2. Plot"
  void Button3Click();                            // "3. Rel. Rank Analysis-1"
  void Button4Click();                            // "Opt2. Rel. Rank Analysis-2"
  void Button5Click();                            // "4. Multi Corr. Highlight Sys."
  void Button6Click();                            // "Opt 1. Zonal Corr. Highlight Sys."
  void Button7Click();                            // "6. Diiferential Image"
  void Button8Click();                            // "5. Cluster"
  void Button9Click();                            // "10. TES"
  void Button10Click();                           // "8. Save Image"
  void Button11Click();                           // "1. Enter Test Info"
  void Button12Click();                           // "11. Save Result File"
  void Button13Click();                           // "10. Tumor Prog. Analysis-1"
  void Button14Click();                           // "Print"
  void Button15Click();                           // "false color-Test Mode Only"
  void Button16Click();                           // "9. Synopsus Cocktail 2"
  void Button17Click();                           // "Load Std"
  void Button18Click();                           // "Load Ref"
  void Button19Click();                           // "Load Out/Ref 3"
  void SyClick();                                 // "7. Synopsis Cocktail 1"
  void
  ImportScanClick();  // "Import scan…" through the Dialogs, box by box (the window has its own)
  void RobustTpaClick();  // menu "Robust Tumour Progression"
  // Import with every choice already made (the window's import dialog): writes the bitmap,
  // puts its path into the field and shows it in the view.
  void ImportScanInto(const ScanVolume& volume, const ImportRequest& request, ScanField field);
  // "Compare studies…" with the studies chosen (the window's dialog): registers the follow-ups
  // (one or two) to the baseline into studyFolderFor(baseline), puts the matched slices into
  // the fields (the third only with two follow-ups), shows the study picture and appends the
  // account. Progress counts the study's stages; Cancel stops it between them, before anything
  // is written.
  void CompareStudiesClick(const std::string& baseline, const std::vector<std::string>& followUps);
  // The studies of the last "Compare studies…" and the folder it wrote to, for the results store.
  struct StudyInputs {
    std::string baseline;
    std::vector<std::string> followUps;
    std::string folder;
  };
  const StudyInputs& lastStudy() const { return lastStudy_; }
  // Empties the results area and the view, as at start-up before the first scan is drawn.
  void NewSession();

  // A person at a window, rather than a script, gives the commands: "8. Save Image" with no
  // name saves nothing and says so, and results may point to window menus.
  void setInteractive(bool interactive) { interactive_ = interactive; }
  // True when the results area holds nothing beyond its heading, or exactly what was last
  // saved with "11. Save Result File".
  bool resultsSaved() const;
  // Cancellation and progress of the running command, shared with the front end.
  CommandControl& control() { return control_; }

  bool exitRequested() const { return exitRequested_; }
  const ModuleObjects& modules() const { return modules_; }

  // Runs one command; a failure ends it and is shown, and the window goes on. A cancelled
  // command ends the same way, with the line "Cancelled by the user" in place of the error box.
  // Commands added from outside run their steps through it.
  void runCommand(const std::function<void()>& steps);

 private:
  // Every line a command adds is a cancellation point (Memo1 checks control_ before each).
  void append(std::string line) { Memo1.append(std::move(line)); }
  void appendModuleLog(const ModuleLog& log) { Memo1.appendModuleLog(log); }
  void showScan(const std::string& path, ViewContent content, std::string caption);
  void showingHighlights(const std::string& standard, const std::string& reference) {
    ViewShows = ViewContent::Highlights;
    ViewCaption = "MCHS highlights of " + standard + " against " + reference;
  }
  void appendReady();  // " ", "Ready", " "

  // The command steps, throwing IoError at the step that fails. The synopsis reports run
  // them inside their own command, so a failure there ends the report as well.
  void plot();
  void rankAnalysis1();
  void rankAnalysis2();
  void multiCorrelationHighlight();
  void zonalCorrelationHighlight();
  void differentialImage();
  void cluster();
  void tumorProgression();
  void falseColor();
  void saveImage();
  void enterTestInfo();
  void saveResultFile();
  void print();
  void loadInto(std::string& field);
  void importScan();
  void robustTumorProgression();
  void compareStudies(const std::string& baseline, const std::vector<std::string>& followUps);
  void synopsis1();
  void synopsis2();
  void synopsis1RankAnalysis1(const std::string& standard, const std::string& reference);
  void synopsis1RankAnalysis2(const std::string& standard, const std::string& reference);
  void synopsis1Mchs(const std::string& standard, const std::string& reference);
  void synopsis1Zchs(const std::string& standard, const std::string& reference);
  void synopsis1Cluster(const std::string& standard, const std::string& reference);

  Dialogs& dialogs_;
  Printer* printer_;
  ModuleObjects modules_;
  bool exitRequested_ = false;
  bool interactive_ = false;
  std::string savedText_;
  CommandControl control_;
  StudyInputs lastStudy_;
};

}  // namespace pelk
