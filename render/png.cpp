// Filled in with the drawing layer.
