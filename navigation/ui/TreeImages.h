#pragma once

#include <QIcon>

namespace orbet {

// The seven tree images by index (1 folder, 2 CD-ROM, 3 folder selected,
// 4 removable or network drive, 5 fixed drive, 6 hidden folder, 7 hidden
// folder selected); 0 and unknown indices give an empty icon. A node's icon
// carries its selected image as the icon's Selected mode.
QIcon treeImage(int image);
QIcon treeNodeIcon(int image, int selectedImage);

} // namespace orbet
