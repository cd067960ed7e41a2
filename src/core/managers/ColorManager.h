#pragma once

#include "storage/StoredValue.h"

#include <QColor>
#include <QHash>
#include <QObject>
#include <QString>

class PreferencesStore;

// A stable colour for every task name from a palette of 25, kept under "TaskColorMappings".
class ColorManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColorManager)
public:
    // The program's instance, created on first use over the per-user data folder.
    static ColorManager& shared();
    // An instance of its own over the given store (tests use isolated ones).
    explicit ColorManager(PreferencesStore& store, QObject* parent = nullptr);

    // Assigns, stores and announces a colour the first time a name is asked for.
    QColor colorForTask(const QString& taskName);
    const QHash<QString, QString>& taskColors() const { return m_taskColors; }
    // Where the colours are kept, and whether they could be read and written.
    StoredValue& storedValue() { return m_stored; }

    static constexpr int paletteSize = 25;
    static QString colorName(int position);
    static QColor color(int position);

signals:
    void taskColorsChanged();

private:
    static QString canonical(const QString& taskName);
    void indexStoredNames();
    QColor assignNewColor(const QString& taskName);
    void saveColorMappings();
    void loadColorMappings();

    StoredValue m_stored;
    QHash<QString, QString> m_taskColors;   // task name as first typed -> colour name
    QHash<QString, QString> m_storedNameOf; // canonical form -> the name as stored
};
