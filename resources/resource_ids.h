// Identifiers shared by the resource script and the code.
#pragma once

#define IDD_STARTUP 200
#define IDC_PLAY 301
#define IDC_QUIT 302
#define IDS_CAPTION 400
#define IDS_BAD_AUTORUN 402
