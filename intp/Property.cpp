#include "intp/Property.h"

#include "intp/Device.h"

namespace Intp {

PropertyMap& GetPropertyMap(TDevice* device)
{
    return device->GetProperties();
}

} // namespace Intp
