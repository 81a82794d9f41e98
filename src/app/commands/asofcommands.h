#pragma once

namespace loto6 {

class MainFrm;

// 基準回を指定... and 最新の回に戻す of the データ分析 menu: every open and later window shows
// the history as it stood with draws 1..N only.
namespace AsOfCommands {
void install(MainFrm &frame);
} // namespace AsOfCommands

} // namespace loto6
