// SPDX-License-Identifier: GPL-3.0-or-later
// Draws what the graph model says: the grid, the axes with their labels, the
// curve, where it crosses zero, and the Newton steps. The window, the saved
// pictures and the clipboard all use this one drawing.
#pragma once

#include <QFont>

#include "graph/graph_model.h"

class QPainter;

namespace suusiki::graph {

// Paints the plot into the rectangle (0, 0, model.width(), model.height()).
void PaintGraph(QPainter& painter, GraphModel& model, const QFont& font);

}  // namespace suusiki::graph
