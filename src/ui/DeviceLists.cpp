#include "ui/DeviceLists.h"

namespace quorvane::ui {

DeviceLists NoDeviceLists() {
    static const NoDevices none;
    return {&none, &none};
}

DeviceLists MachineDeviceLists() {
    DeviceLists lists = NoDeviceLists();
    lists.scanScsiBus = true;
    return lists;
}

} // namespace quorvane::ui
