#!/usr/bin/env python3
"""Checks the include graph of src/: no non-GUI file includes a GUI header, and neither the
areas (src/<area>/) nor their core and window halves (src/<area>/ and src/<area>/gui/) include
each other in a cycle. Prints the graph with --graph."""
import os
import re
import sys

GUI_QT = re.compile(r'#include\s*<(QtWidgets/|QtGui/|qcustomplot\.h|Q(Widget|Dialog|MessageBox|'
                    r'FileDialog|Application|MainWindow|Label|PushButton|Painter|Color|Pixmap|'
                    r'Image|Font|Icon|Screen|Window|Action|Menu|StatusBar|Slider|LineEdit|'
                    r'ComboBox|CheckBox|RadioButton|GroupBox|Layout|BoxLayout|GridLayout|'
                    r'VBoxLayout|HBoxLayout|Timer|Shortcut|KeyEvent|MouseEvent|PaintEvent|'
                    r'ResizeEvent|CloseEvent|Svg\w*|DesktopServices|Palette|Brush|Pen)>)')
PROJECT = re.compile(r'#include\s*"([^"]+)"')


def node_of(path):  # "files/gui/x.h" -> "files/gui"; "widgets/x.h" -> "widgets"
    parts = path.split('/')
    return parts[0] + '/gui' if len(parts) > 2 and parts[1] == 'gui' else parts[0]


def is_gui(node):
    return node == 'widgets' or node.endswith('/gui')


def find_cycle(graph):
    state, stack = {}, []

    def visit(n):
        state[n] = 1
        stack.append(n)
        for m in sorted(graph.get(n, ())):
            if state.get(m) == 1:
                return stack[stack.index(m):] + [m]
            if m not in state:
                found = visit(m)
                if found:
                    return found
        stack.pop()
        state[n] = 2
        return None

    for n in sorted(graph):
        if n not in state:
            found = visit(n)
            if found:
                return found
    return None


def main():
    src = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'src')
    src = os.path.normpath(sys.argv[1] if len(sys.argv) > 1 and sys.argv[1] != '--graph' else src)
    nodes, areas, faults = {}, {}, []
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith(('.cpp', '.h')):
                continue
            rel = os.path.relpath(os.path.join(root, name), src)
            here = node_of(rel)
            with open(os.path.join(root, name), encoding='utf-8') as f:
                text = f.read()
            for m in PROJECT.finditer(text):
                there = node_of(m.group(1))
                if not is_gui(here) and is_gui(there):
                    faults.append(f'{rel}: a core file includes the window header "{m.group(1)}"')
                if there != here:
                    nodes.setdefault(here, set()).add(there)
                a, b = here.split('/')[0], there.split('/')[0]
                if a != b:
                    areas.setdefault(a, set()).add(b)
            if not is_gui(here):
                for m in GUI_QT.finditer(text):
                    faults.append(f'{rel}: a core file includes the Qt window header <{m.group(1)}>')
    for graph, what in ((nodes, 'halves of areas'), (areas, 'areas')):
        cycle = find_cycle(graph)
        if cycle:
            faults.append(f'the {what} include each other in a cycle: ' + ' -> '.join(cycle))
    if '--graph' in sys.argv:
        for n in sorted(nodes):
            print(f'{n} -> {", ".join(sorted(nodes[n]))}')
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
