#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace loto6 {

// A fresh folder that is the current one while this lives: the settings files and a database
// named without a folder go there. At the end the folder current before comes back, also when
// a check fails half-way, and the fresh one is removed.
class ScratchFolder
{
public:
    ScratchFolder()
        : m_entered(m_dir.isValid() && QDir::setCurrent(m_dir.path()))
    {
    }
    ~ScratchFolder() { QDir::setCurrent(m_previous); }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    // The folder was made and is the current one.
    bool entered() const { return m_entered; }
    QString path() const { return m_dir.path(); }

private:
    QString m_previous = QDir::currentPath();
    QTemporaryDir m_dir;
    bool m_entered;
};

} // namespace loto6
