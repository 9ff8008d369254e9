#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The layer check itself: a small tree that keeps every rule passes, and each wrong include or link planted
in it fails the check with the file and line it is on.
Usage: check_include_rules.py PATH_TO_CHECK_INCLUDES"""
import pathlib
import subprocess
import sys
import tempfile
import unittest

CHECKER = pathlib.Path(sys.argv.pop(1) if len(sys.argv) > 1 else
                       pathlib.Path(__file__).resolve().parent.parent / "scripts" / "check-includes")

# A tree that keeps the rules: one header a layer, and the libraries' links.
GOOD_TREE = {
    "src/base/Numbers.h": "#pragma once\n#include <QtCore/QString>\n#include <cmath>\n",
    "src/base/CMakeLists.txt": "lumora_layer(lumora_base Numbers.h)\n"
                               "target_link_libraries(lumora_base PUBLIC Qt6::Core Qt6::Gui)\n",
    "src/pictures/Pictures.h": '#pragma once\n#include "base/Numbers.h"\n#include <sys/mman.h>\n'
                               "#include <qaction.h>\n#include <QtGui/QImage>\n",
    "src/pictures/CMakeLists.txt": "# Pictures (links base)\nlumora_layer(lumora_pictures Pictures.h)\n"
                                   "target_link_libraries(lumora_pictures PUBLIC lumora_base Qt6::Gui\n"
                                   "                      PRIVATE JPEG::JPEG)\n",
    "src/document/Document.h": "#pragma once\n#include <pictures/Pictures.h>\n",
    "src/scene/Item.h": '#pragma once\n#include "pictures/Pictures.h"\n#include <QGraphicsItem>\n',
    "src/scene/CMakeLists.txt": "lumora_layer(lumora_scene Item.h)\n"
                                "target_link_libraries(lumora_scene PUBLIC lumora_pictures Qt6::Widgets)\n",
    "src/widgets/TrackBar.h": '#pragma once\n#include "base/Numbers.h"\n#include <QWidget>\n',
    "src/steps/Step.h": '#pragma once\n#include "scene/Item.h"\n#include "document/Document.h"\n'
                        "#include <QGraphicsItem>\n#include <QtWidgets/QGraphicsScene>\n"
                        "#include <qgraphicsitem.h>\n#include <QStyleOptionGraphicsItem>\n",
    "src/toolkit/ToolPanel.h": '#pragma once\n#include "steps/Step.h"\n#include "widgets/TrackBar.h"\n',
    "src/resize/RegionFrame.h": '#pragma once\n#include "toolkit/ToolPanel.h"\n#include <QDialog>\n',
    "src/galleries/Gallery.cpp": '#include "widgets/TrackBar.h"\n#include "moc_Gallery.cpp"\n',
    "src/galleries/CMakeLists.txt": "lumora_layer(lumora_galleries Gallery.cpp)\n"
                                    "target_link_libraries(lumora_galleries PUBLIC lumora_widgets)\n",
    "src/widgets/CMakeLists.txt": "lumora_layer(lumora_widgets TrackBar.h)\n",
    "src/toolkit/CMakeLists.txt": "lumora_layer(lumora_toolkit ToolPanel.h)\n",
    "src/app/main.cpp": '#include "resize/RegionFrame.h"\n#include <galleries/Gallery.cpp>\n',
}

# The Qt headers the check reads its widget names from: a widget class, forwarding headers of a class Qt Gui
# holds (not a widget header), the graphics items.
QT_HEADERS = ["QtCore/QString", "QtGui/QImage", "QtGui/QAction", "QtGui/qaction.h", "QtWidgets/qaction.h",
              "QtWidgets/QWidget", "QtWidgets/QDialog", "QtWidgets/QPushButton", "QtWidgets/qpushbutton.h",
              "QtWidgets/QGraphicsItem", "QtWidgets/qgraphicsitem.h", "QtWidgets/QGraphicsScene",
              "QtWidgets/QGraphicsView", "QtWidgets/QStyleOptionGraphicsItem", "QtWidgets/QtWidgets",
              "QtOpenGLWidgets/QOpenGLWidget"]

# Planted file, its text, and the line the check must print for it.
PLANTED = [
    ("quoted include of a higher layer", "src/pictures/Up.h", '#pragma once\n#include "scene/Item.h"\n',
     'src/pictures/Up.h:2: src/pictures may not include "scene/Item.h"'),
    ("angle include of a higher layer", "src/document/Up.cpp", "\n\n#include <toolkit/ToolPanel.h>\n",
     "src/document/Up.cpp:3: src/document may not include <toolkit/ToolPanel.h>"),
    ("include of app", "src/toolkit/App.hpp", "# include <app/main.cpp>\n",
     "src/toolkit/App.hpp:1: src/toolkit may not include <app/main.cpp>"),
    ("odd suffix", "src/base/Tables.inc", '// a table\n  #  include "widgets/TrackBar.h"\n',
     'src/base/Tables.inc:2: src/base may not include "widgets/TrackBar.h"'),
    ("another odd suffix", "src/steps/Kind.ipp", '#include "toolkit/ToolPanel.h"\n',
     'src/steps/Kind.ipp:1: src/steps may not include "toolkit/ToolPanel.h"'),
    ("one tool folder including another", "src/galleries/Crop.cc", '#include "resize/RegionFrame.h"\n',
     'src/galleries/Crop.cc:1: src/galleries may not include "resize/RegionFrame.h"'),
    ("a file outside src", "src/scene/Tool.cpp", '#include "tools/decorations/Draw.h"\n',
     'src/scene/Tool.cpp:1: "tools/decorations/Draw.h" is not a file under src/ (include it by its folder)'),
    ("a missing file by angle", "src/scene/Gone.cpp", "#include <pictures/Gone.h>\n",
     "src/scene/Gone.cpp:1: <pictures/Gone.h> is not a file under src/ (include it by its folder)"),
    ("widget class header below the widgets", "src/pictures/Ask.cpp", "#include <QDialog>\n",
     "src/pictures/Ask.cpp:1: src/pictures works without widgets: <QDialog> is a widget header"),
    ("widget header by module path", "src/batch/Run.cpp", "#include <QtWidgets/QPushButton>\n",
     "src/batch/Run.cpp:1: src/batch works without widgets: <QtWidgets/QPushButton> is a widget header"),
    ("widget header by file name", "src/effects/Knob.h", "#include <qpushbutton.h>\n",
     "src/effects/Knob.h:1: src/effects works without widgets: <qpushbutton.h> is a widget header"),
    ("the widget module header", "src/cli/Jobs.cpp", "#include <QtWidgets>\n",
     "src/cli/Jobs.cpp:1: src/cli works without widgets: <QtWidgets> is a widget header"),
    ("another widget module", "src/document/View.cpp", "#include <QtOpenGLWidgets/QOpenGLWidget>\n",
     "src/document/View.cpp:1: src/document works without widgets: <QtOpenGLWidgets/QOpenGLWidget> is a "
     "widget header"),
    ("a view in steps", "src/steps/Shown.cpp", "#include <QGraphicsView>\n",
     "src/steps/Shown.cpp:1: src/steps uses no widget but the scene's graphics items: <QGraphicsView> is a "
     "widget header"),
    ("a folder not in the table", "src/plugins/Plugin.cpp", "\n",
     "src/plugins/Plugin.cpp: folder src/plugins is not in the table of layers"),
    ("a link to a layer it does not include", "src/galleries/CMakeLists.txt",
     "lumora_layer(lumora_galleries Gallery.cpp)\n"
     "target_link_libraries(lumora_galleries PUBLIC lumora_widgets\n    lumora_toolkit)\n",
     "src/galleries/CMakeLists.txt:3: src/galleries links lumora_toolkit but includes nothing of src/toolkit"),
    ("a link to a higher layer", "src/pictures/CMakeLists.txt",
     "lumora_layer(lumora_pictures Pictures.h)\ntarget_link_libraries(lumora_pictures PUBLIC lumora_scene)\n",
     "src/pictures/CMakeLists.txt:2: src/pictures may not link lumora_scene (src/scene)"),
    ("a widget module linked below the widgets", "src/base/CMakeLists.txt",
     "lumora_layer(lumora_base Numbers.h)\ntarget_link_libraries(lumora_base PUBLIC Qt6::Core\n"
     "                      PRIVATE Qt6::Widgets)\n",
     "src/base/CMakeLists.txt:3: src/base works without widgets but links Qt6::Widgets"),
]


class IncludeRules(unittest.TestCase):
    def run_check(self, planted: dict[str, str]) -> subprocess.CompletedProcess:
        with tempfile.TemporaryDirectory() as directory:
            root = pathlib.Path(directory)
            for name, text in {**GOOD_TREE, **planted}.items():
                (root / name).parent.mkdir(parents=True, exist_ok=True)
                (root / name).write_text(text, encoding="utf-8")
            for name in QT_HEADERS:
                (root / "qt" / name).parent.mkdir(parents=True, exist_ok=True)
                (root / "qt" / name).touch()
            return subprocess.run([sys.executable, str(CHECKER), str(root), "--qt-headers", str(root / "qt")],
                                  capture_output=True, text=True)

    def test_a_tree_keeping_the_rules_passes(self):
        result = self.run_check({})
        self.assertEqual((result.returncode, result.stdout), (0, ""))

    def test_each_planted_fault_is_named_with_file_and_line(self):
        for what, name, text, expected in PLANTED:
            with self.subTest(what):
                result = self.run_check({name: text})
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stdout.splitlines(), [expected])

    def test_without_the_widget_names_nothing_passes_unchecked(self):
        with tempfile.TemporaryDirectory() as directory:
            result = subprocess.run([sys.executable, str(CHECKER), directory, "--qt-headers", directory],
                                    capture_output=True, text=True)
        self.assertEqual(result.returncode, 1)
        self.assertIn("cannot find Qt's widget headers", result.stdout)


if __name__ == "__main__":
    unittest.main()
