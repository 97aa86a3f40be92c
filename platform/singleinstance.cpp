#include "platform/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace orvella {

SingleInstanceGuard::SingleInstanceGuard(QString key)
{
    // One guard per user: the name carries a hash of the user's home folder.
    const QByteArray user
        = QCryptographicHash::hash(QDir::homePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    m_name = key + QStringLiteral("-") + QString::fromLatin1(user);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::anotherInstanceRunning()
{
    if (m_decided)
        return m_other;
    m_decided = true;
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    if (m_server->listen(m_name)) {
        m_other = false;
        return false;
    }
    // Someone holds the name. Make sure it answers: a name left by a crashed copy would not.
    QLocalSocket probe;
    probe.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    probe.connectToServer(m_name);
    m_other = probe.waitForConnected(1000);
    if (!m_other) {
        QLocalServer::removeServer(m_name);
        m_other = !m_server->listen(m_name);
    }
    if (m_other)
        m_server.reset();
    return m_other;
}

} // namespace orvella
