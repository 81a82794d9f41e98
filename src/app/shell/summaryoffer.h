#pragma once

namespace loto6 {

class MainFrm;

// Offers 今回の結果 as soon as a new draw enters the history (typed, imported, dropped or
// fetched): a button in the status bar, "第N回の結果を見る", that opens the window. Nothing
// is modal and nothing takes the focus from the window in use; the offer goes when the window
// is opened (by the button, the menu or the toolbar).
void installSummaryOffer(MainFrm &frame);

} // namespace loto6
