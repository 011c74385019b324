// The connect command's opening and the exit's closing of the serial port.
#include "app/main_window.h"

namespace missivo {

// Opening the serial port arrives with the port code; until then connecting
// leaves the port closed and the status as it is.
void TForm1::ConnectPort() {}

// Closing the serial port arrives with the port code; until then there is none to close.
void TForm1::ClosePort() {}

}  // namespace missivo
