#pragma once

#include <memory>

#include <QString>

class QLocalServer;

namespace orvella {

// Sees another running copy of the program for the same user. The first copy holds a local
// socket (in the abstract namespace on Linux, so no file is written); a later copy finds it.
class SingleInstanceGuard final {
public:
    // key names the program; tests give their own so they never meet a real running copy.
    explicit SingleInstanceGuard(QString key = QStringLiteral("orvella"));
    ~SingleInstanceGuard();

    // True when another copy holds the guard. The first call decides; this copy then keeps the
    // guard for the rest of the run, so asking again (a window created afresh) still says false.
    bool anotherInstanceRunning();

private:
    QString m_name;
    std::unique_ptr<QLocalServer> m_server;
    bool m_decided = false;
    bool m_other = false;
};

} // namespace orvella
