// Carrier of a precompiled header: the targets that reuse it compile nothing of
// this file.
