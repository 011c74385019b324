// ImageList1: the window's indexed pictures, shared by menus, toolbar, tabs,
// list rows, column headers and the status panel. Every picture is drawn with
// QPainter from vectors at the size asked for, so it stays sharp at 16 pixels
// and on high-density screens alike.
#pragma once

#include <QIcon>

namespace missivo {

// Indexes of ImageList1. Rows, status and column markers keep the numbers that
// the lists and the connection code store and set.
enum ImageIndex : int {
  kImageRowImported = 0,
  kImageRowDraft = 1,
  kImageRowIncoming = 2,
  kImageConnect = 3,
  kImageDisconnect = 4,
  kImageRead = 5,
  kImageExit = 6,
  kImageProtect = 7,
  kImageTabMessages = 8,
  kImageTabArchive = 9,
  kImageTabPhonebook = 10,
  kImageTabTerminal = 11,
  kImageTabSettings = 12,
  kImageTabAbout = 13,
  kImageSave = 14,
  kImageSaveAll = 15,
  kImageDelete = 16,
  kImageDeleteAll = 17,
  kImageLanguage = 18,
  kImageConvert = 19,
  kImageReadPhonebook = 20,
  kImageSkinItem = 23,
  kImageStatusDisconnected = 25,
  kImageStatusConnected = 26,
  kImageStatusBusy = 27,
  kImageRowOutgoing = 28,
  kImageRowContact = 30,
  kImageSortDescending = 31,
  kImageSortAscending = 32,
};

class ImageList {
 public:
  // The picture at `index`; a null icon for an index that holds none.
  static QIcon Icon(int index);
  static bool Has(int index);
  // The size at which lists, menus and the status bar show the pictures.
  static constexpr int kSmallSize = 16;
};

}  // namespace missivo
