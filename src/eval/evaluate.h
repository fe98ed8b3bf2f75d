#pragma once

// Static evaluation of the current position for the side to move; leaves the position as it was.
int evaluate();
// 1 when either side can still mate, 0 for the material draws.
int sufficientMaterial();
