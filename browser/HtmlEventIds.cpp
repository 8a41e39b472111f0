// The one HTML event interface id the program needs that mingw-w64's uuid library lacks.
// Selectany (as DEFINE_GUID makes it under INITGUID), so it also links beside a uuid library that
// has it.
#include <initguid.h>

// {3050F60F-98B5-11CF-BB82-00AA00BDCE0B}
DEFINE_GUID(DIID_HTMLElementEvents2, 0x3050F60F, 0x98B5, 0x11CF, 0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD,
            0xCE, 0x0B);
