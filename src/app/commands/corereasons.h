#pragma once

#include "store/result.h"

#include <QCoreApplication>
#include <QString>

#include <string>

namespace loto6 {

// The core library gives its reasons as a kind with its facts and words them in English for
// the command line; the desktop program words the same facts in Japanese here, each kind with
// its own text. A reason without a kind of its own (an English one from the core) gets one
// general text that names it.
class CoreReasons
{
    Q_DECLARE_TR_FUNCTIONS(CoreReasons)

public:
    static QString japanese(const Status &status);
    static QString japanese(const Fault &fault);
    // The kind has a Japanese text of its own.
    static bool hasText(FaultKind kind);
};

} // namespace loto6
