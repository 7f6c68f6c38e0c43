#pragma once

class QWidget;

// Puts the real message boxes and file choosers behind the seams.
void InstallRealSeams(QWidget* mainWindow);
