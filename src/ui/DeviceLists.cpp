#include "ui/DeviceLists.h"

namespace quorvane::ui {

DeviceLists NoDeviceLists() {
    static const NoDevices none;
    return {&none, &none, &none, &none};
}

} // namespace quorvane::ui
