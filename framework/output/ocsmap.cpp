// The map form of the output settings, keyed by the fields' names.

#include <QBitArray>
#include <QMap>
#include <QString>
#include <QVariant>
#include <algorithm>

#include "framework/output/applnprint.h"

namespace {

struct INTFIELD {
    const char* key;
    int OCS::*field;
};

constexpr INTFIELD intfields[] = {
    { "dm", &OCS::dm },
    { "scale", &OCS::scale },
    { "onlyshrink", &OCS::onlyshrink },
    { "rot", &OCS::rot },
    { "mir", &OCS::mir },
    { "colour_set", &OCS::colour_set },
    { "colour_bpp", &OCS::colour_bpp },
    { "invert", &OCS::invert },
    { "taggedonly", &OCS::taggedonly },
    { "scope", &OCS::scope },
    { "scope_emask", &OCS::scope_emask },
    { "tofile", &OCS::tofile },
    { "qjplotter", &OCS::qjplotter },
    { "separate", &OCS::separate },
    { "preview", &OCS::preview },
};

} // namespace

QVariant APPLNPRINT::storeOcs(const OCS& settings)
{
    QMap<QString, QVariant> map;
    for (const INTFIELD& entry : intfields)
        map.insert(entry.key, settings.*entry.field);
    QBitArray layers(OCS_LAYERS);
    for (int i = 0; i < OCS_LAYERS; ++i)
        layers.setBit(i, settings.layers[i] != 0);
    map.insert("layers", layers);
    map.insert("lset", qulonglong(settings.lset));
    map.insert("edge", qulonglong(settings.edge));
    char name[PATHBUFFER];
    copyoutputname(name, settings.filename);
    map.insert("filename", QString::fromUtf8(name));
    map.insert("xcomp", settings.xcomp);
    map.insert("ycomp", settings.ycomp);
    map.insert("ocx", settings.ocx);
    map.insert("ocy", settings.ocy);
    return map;
}

void APPLNPRINT::extractOcs(const QVariant& value, OCS& settings) const
{
    QMap<QString, QVariant> map = value.toMap();
    for (const INTFIELD& entry : intfields)
        settings.*entry.field = map.value(entry.key).toInt();
    if (map.contains("layers")) {
        QBitArray layers = map.value("layers").toBitArray();
        for (int i = 0; i < std::min<int>(OCS_LAYERS, layers.size()); ++i)
            settings.layers[i] = layers.testBit(i) ? 1 : 0;
    }
    settings.lset = uint32_t(map.value("lset").toULongLong());
    settings.edge = uint32_t(map.value("edge").toULongLong());
    copyoutputname(settings.filename, map.value("filename").toString().toUtf8().constData());
    settings.xcomp = map.value("xcomp").toFloat();
    settings.ycomp = map.value("ycomp").toFloat();
    settings.ocx = map.value("ocx").toDouble();
    settings.ocy = map.value("ocy").toDouble();
}
