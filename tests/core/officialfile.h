#pragma once

#include "store/drawrecord.h"
#include "store/textcodec.h"

#include <string>

namespace loto6::test {

// An official per-draw result file (Shift-JIS, CR LF) for a draw dated in the Reiwa era, with a
// payout made up for it: 1等 nobody won, the carry-over the draw number in yen.
inline std::string officialFile(const DrawRecord &r)
{
    const int y = std::stoi(r.date.substr(0, 4)), m = std::stoi(r.date.substr(5, 2)),
              d = std::stoi(r.date.substr(8, 2));
    std::string numbers;
    for (int f = 0; f < 6; ++f)
        numbers += (r.number(f) < 10 ? ",0" : ",") + std::to_string(r.number(f));
    const std::string text = "A52\r\n第" + std::to_string(r.drawNo)
        + "回ロト６,数字選択式全国自治宝くじ,令和" + std::to_string(y - 2018) + "年"
        + std::to_string(m) + "月" + std::to_string(d)
        + "日,東京 宝くじドリーム館\r\n支払期間,令和8年10月9日から令和9年10月8日まで\r\n本数字"
        + numbers + ",ボーナス数字," + std::to_string(r.bonus())
        + "\r\n１等,該当なし,該当なし\r\n２等,3口,12000000円\r\n３等,150口,400000円\r\n"
          "４等,8000口,9000円\r\n５等,140000口,1000円\r\nキャリーオーバー,"
        + std::to_string(r.drawNo)
        + "円\r\n販売実績額,1300000000円\r\n"
          "１等,申込数字が本数字６個と全て一致\r\n";
    return *utf8ToCp932(text);
}

} // namespace loto6::test
