#pragma once

namespace lumivane {

// The framework's class names, for headers that only hold, pass or return them (a control's
// pointer to its font, picture or timer): the header includes this, the source file includes the
// class's own header.

class TObject;
class TPersistent;
class TComponent;
class TClassInfo;
using TClass = const TClassInfo*;
template <class T>
class TPublished;
struct TMessage;
struct TPropInfo;

class TControl;
class TWinControl;
class TGraphicControl;
class TCustomControl;
class TSizeConstraints;
class TDragObject;
class TDragDockObject;

class TGraphicsObject;
class TCanvas;
class TFont;
class TPen;
class TBrush;
class TGraphic;
class TBitmap;
class TIcon;
class TPicture;

class TCustomLabel;
class TLabel;
class TButtonControl;
class TButton;
class TCustomEdit;
class TEdit;
class TImage;
class TCustomPanel;
class TPanel;
class TMenu;
class TMenuItem;
class TPopupMenu;
class TTimer;
class TClipboard;
class THintWindow;
class TCustomForm;
class TForm;
class TApplication;

}  // namespace lumivane
