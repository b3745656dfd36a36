#include "pages/kit/StringResources.h"

QString LoadStringResource(int id)
{
    switch (id) {
    case 100:
    case 300:
        return QStringLiteral("Swale Ring");
    case 200:
        return QStringLiteral("Swale Ring Topology Change");
    default:
        return {};
    }
}
