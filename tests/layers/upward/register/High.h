// A fixture for the layer check: a header of the upper layer.
#pragma once
