#include "managers/ColorManager.h"

#include "storage/JsonStringMap.h"
#include "storage/PreferencesStore.h"

#include <QSet>
#include <array>

namespace {

const QString colorsKey = QStringLiteral("TaskColorMappings");

struct PaletteEntry {
    const char16_t* name;
    QColor color;
};

// The twelve named tones are saturated mid-lightness colours that stay legible as text and as
// chart slices on both light and dark backgrounds; the rest are fixed sRGB values.
const std::array<PaletteEntry, ColorManager::paletteSize>& palette() {
    static const std::array<PaletteEntry, ColorManager::paletteSize> entries{{
        {u"blue", QColor(0x0A, 0x84, 0xFF)},
        {u"green", QColor(0x34, 0xC7, 0x59)},
        {u"orange", QColor(0xFF, 0x95, 0x00)},
        {u"purple", QColor(0xAF, 0x52, 0xDE)},
        {u"pink", QColor(0xFF, 0x2D, 0x55)},
        {u"red", QColor(0xFF, 0x3B, 0x30)},
        {u"yellow", QColor(0xFF, 0xCC, 0x00)},
        {u"cyan", QColor(0x32, 0xAD, 0xE6)},
        {u"indigo", QColor(0x58, 0x56, 0xD6)},
        {u"mint", QColor(0x00, 0xC7, 0xBE)},
        {u"teal", QColor(0x30, 0xB0, 0xC7)},
        {u"brown", QColor(0xA2, 0x84, 0x5E)},
        {u"custom12", QColor::fromRgbF(0.2f, 0.6f, 0.86f)},
        {u"custom13", QColor::fromRgbF(0.95f, 0.5f, 0.2f)},
        {u"custom14", QColor::fromRgbF(0.6f, 0.4f, 0.8f)},
        {u"custom15", QColor::fromRgbF(0.3f, 0.7f, 0.3f)},
        {u"custom16", QColor::fromRgbF(0.9f, 0.3f, 0.5f)},
        {u"custom17", QColor::fromRgbF(0.4f, 0.5f, 0.6f)},
        {u"custom18", QColor::fromRgbF(0.8f, 0.6f, 0.2f)},
        {u"custom19", QColor::fromRgbF(0.5f, 0.8f, 0.8f)},
        {u"custom20", QColor::fromRgbF(0.7f, 0.3f, 0.7f)},
        {u"custom21", QColor::fromRgbF(0.3f, 0.6f, 0.4f)},
        {u"custom22", QColor::fromRgbF(0.9f, 0.4f, 0.1f)},
        {u"custom23", QColor::fromRgbF(0.4f, 0.4f, 0.7f)},
        {u"custom24", QColor::fromRgbF(0.6f, 0.7f, 0.3f)},
    }};
    return entries;
}

int positionOf(const QString& colorName) {
    const auto& entries = palette();
    for (int i = 0; i < ColorManager::paletteSize; ++i) {
        if (colorName == QStringView(entries[i].name))
            return i;
    }
    return -1;
}

} // namespace

ColorManager& ColorManager::shared() {
    // Never destroyed: it lives as long as the process, like the store under it.
    static ColorManager* const instance =
        new ColorManager(*new FilePreferencesStore(FilePreferencesStore::defaultFolder()));
    return *instance;
}

ColorManager::ColorManager(PreferencesStore& store, QObject* parent)
    : QObject(parent)
    , m_stored(store, colorsKey) {
    loadColorMappings();
}

QString ColorManager::colorName(int position) {
    if (position < 0 || position >= paletteSize)
        return {};
    return QString::fromUtf16(palette()[position].name);
}

QColor ColorManager::color(int position) {
    if (position < 0 || position >= paletteSize)
        return {};
    return palette()[position].color;
}

QColor ColorManager::colorForTask(const QString& taskName) {
    auto it = m_taskColors.constFind(taskName);
    // The same name typed another way (a precomposed or a decomposed "é") is the same task.
    if (it == m_taskColors.constEnd()) {
        const auto stored = m_storedNameOf.constFind(canonical(taskName));
        if (stored != m_storedNameOf.constEnd())
            it = m_taskColors.constFind(*stored);
    }
    if (it != m_taskColors.constEnd()) {
        const int position = positionOf(*it);
        if (position >= 0)
            return color(position);
    }
    return assignNewColor(taskName);
}

QString ColorManager::canonical(const QString& taskName) {
    return taskName.normalized(QString::NormalizationForm_D);
}

void ColorManager::indexStoredNames() {
    m_storedNameOf.clear();
    for (auto it = m_taskColors.cbegin(); it != m_taskColors.cend(); ++it)
        m_storedNameOf.insert(canonical(it.key()), it.key());
}

QColor ColorManager::assignNewColor(const QString& taskName) {
    QSet<QString> inUse;
    for (const QString& name : std::as_const(m_taskColors))
        inUse.insert(name);

    int chosen = -1;
    for (int i = 0; i < paletteSize && chosen < 0; ++i) {
        if (!inUse.contains(colorName(i)))
            chosen = i;
    }
    // Every colour taken: reuse them in palette order, counting the entry being replaced too.
    if (chosen < 0)
        chosen = static_cast<int>(m_taskColors.size() % paletteSize);

    // A name with an unusable colour keeps the spelling it was stored under.
    const QString stored = m_storedNameOf.value(canonical(taskName), taskName);
    m_taskColors.insert(stored, colorName(chosen));
    m_storedNameOf.insert(canonical(taskName), stored);
    emit taskColorsChanged();
    saveColorMappings();
    return color(chosen);
}

void ColorManager::saveColorMappings() {
    m_stored.write(encodeStringMap(m_taskColors));
}

void ColorManager::loadColorMappings() {
    const std::optional<QByteArray> stored = m_stored.read();
    if (!stored)
        return;
    std::optional<QHash<QString, QString>> decoded = decodeStringMap(*stored);
    if (!decoded) {
        m_stored.markUnreadable();
        return;
    }
    m_taskColors = std::move(*decoded);
    indexStoredNames();
    emit taskColorsChanged();
}
