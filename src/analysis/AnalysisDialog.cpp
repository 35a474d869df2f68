#include "analysis/AnalysisDialog.h"

#include "analysis/InstallationAnalysis.h"
#include "analysis/PlacementCheck.h"
#include "base/ModalDialogs.h"

namespace parvane {

void AnalysisDialog::OnInitDialog(DialogControls& controls) {
    controls.SetItemText(ANALYSIS_REPORT_TEXT, AnalyzeInstallation() + "\r\n\r\n" +
                                                   PlacementCheckSection(CheckPlacedFiles({})));
}

void AnalysisDialog::OnCommand(int id, int, DialogControls& controls) {
    if (id == ANALYSIS_CLOSE_BUTTON || id == DIALOG_ESCAPE) {
        controls.EndDialog(0);
    }
}

void ShowAnalysisDialog() {
    AnalysisDialog dialog;
    RunModalDialog(ANALYSIS_DIALOG, dialog);
}

}  // namespace parvane
