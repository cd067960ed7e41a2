#include "storage/StoredValue.h"

#include "CoreLog.h"
#include "storage/PreferencesStore.h"

StoredValue::StoredValue(PreferencesStore& store, QString key, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_key(std::move(key)) {
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &StoredValue::onRetry);
}

QString StoredValue::path() const {
    return m_store.pathFor(m_key);
}

std::optional<QByteArray> StoredValue::read() {
    std::optional<QByteArray> bytes = m_store.value(m_key);
    return acceptRead(std::move(bytes), m_store.lastError());
}

std::optional<QByteArray> StoredValue::acceptRead(std::optional<QByteArray> bytes,
                                                  const QString& error) {
    // Present but unreadable (no permission, a folder in its place): the history shows empty,
    // and no write may replace what the user still has until a copy of it could be made.
    if (bytes && !error.isEmpty()) {
        m_unreadable = true;
        setProblem(error);
    }
    return bytes;
}

bool StoredValue::write(const QByteArray& bytes) {
    m_pending = bytes;
    return writePending();
}

bool StoredValue::appendToArray(QByteArrayView elements, const std::function<QByteArray()>& whole) {
    // Only onto a value that is on disk as we know it: anything pending goes out whole.
    if (!m_pending && !m_unreadable && m_store.appendToArray(m_key, elements)) {
        succeeded();
        return true;
    }
    return write(whole());
}

bool StoredValue::flush() {
    return !m_pending || writePending();
}

bool StoredValue::writePending() {
    if (m_unreadable) {
        if (!m_store.keepAside(m_key)) {
            setProblem(m_store.lastError());
            return false;
        }
        m_unreadable = false;
    }
    if (!m_store.setValue(m_key, *m_pending)) {
        setProblem(m_store.lastError());
        return false;
    }
    m_pending.reset();
    succeeded();
    return true;
}

void StoredValue::succeeded() {
    m_retry.stop();
    m_retryMs = firstRetryMs;
    if (!m_problem.isEmpty()) {
        m_problem.clear();
        qCInfo(lcStorage, "%s is saved again", qPrintable(path()));
        emit problemEnded(path());
    }
}

void StoredValue::setProblem(const QString& reason) {
    if (m_pending && !m_retry.isActive())
        m_retry.start(m_retryMs);
    if (!m_problem.isEmpty())
        return;
    m_problem = reason.isEmpty() ? QStringLiteral("unknown error") : reason;
    qCWarning(lcStorage, "%s: %s", qPrintable(path()), qPrintable(m_problem));
    emit problemStarted(path(), m_problem);
}

void StoredValue::onRetry() {
    m_retryMs = std::min(m_retryMs * 2, maximumRetryMs);
    writePending();
}
