// Stand-in until the loader lands: no picture.
#include "bitmap/dib.h"

DibImage* LoadDib(const char*) { return nullptr; }
int DrawDib(HDC, int, int, const DibImage*, int, int, int, int) { return 0; }
int FreeDib(DibImage* image) { return image ? 1 : 0; }
