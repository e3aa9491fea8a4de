#pragma once

class QApplication;

/// Gives the application its names, version and icon, and installs the translation for the
/// system's language (English texts stay when there is none).
void prepareApplication(QApplication& app);
