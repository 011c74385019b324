// The connect command's opening of the serial port.
#include "app/main_window.h"

namespace missivo {

// Opening the serial port arrives with the port code; until then connecting
// leaves the port closed and the status as it is.
void TForm1::ConnectPort() {}

}  // namespace missivo
