#include "launcher/NewBevel.h"

namespace lumora {

void DrawSunkenBevel(TCanvas& canvas, const RECT& rect) { canvas.DrawEdge(rect, EDGE_SUNKEN, BF_RECT); }

}  // namespace lumora
