"""Writes the six skins (resources/SkinsFile/NN.vqs and their image folders)
from template.qss and the colour sets below. Run: python3 tools/skins/make_skins.py"""
import os, string, re, sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..', '..', 'resources', 'SkinsFile')
tpl = string.Template(open(os.path.join(HERE, 'template.qss')).read())

def split_title(window, panel):
    return f"qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 {window}, stop: 0.5 {window}, stop: 0.51 {panel}, stop: 1 {panel})"

def vgrad(a, b):
    return f"qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 {a}, stop: 1 {b})"

skins = {}

# 1: Graphite - dark
w, p = '#2b2e33', '#34383e'
skins[1] = dict(
    name='Graphite', description='Dark charcoal panels, light text and a sky-blue accent; an amber ring marks the keyboard focus.',
    window=w, panel=p, text='#e3e6ea', accent='#3d8fd6', accent_text='#ffffff', accent_dark='#2a6aa3',
    focus='#f2a93b', focus_soft='rgba(242, 169, 59, 40)', hover='#41474f', hover_soft='rgba(255, 255, 255, 18)', pressed='#27415a',
    border='#4a5058', border_strong='#636a74',
    tip_text='#f0f2f4', tip_bg='#1c1e22', tip_border='#636a74',
    menubar_bg='#222428', menubar_text='#e3e6ea', menubar_border='#16181a', menubar_hover='#3a3f46', menubar_hover_text='#ffffff',
    menu_bg='#2f3338', small_radius='3px', radius='4px',
    toolbar_bg=vgrad('#3a3e44', '#2c2f34'), toolbar_border='#16181a',
    toolbutton_bg=vgrad('#dfe3e8', '#c6ccd3'), toolbutton_border='#1d1f23', toolbutton_disabled_bg='#6b7178',
    statusbar_bg='#222428', statusbar_text='#d5d9de', statusbar_border='#16181a', statusbar_panel='#2b2e33', statusbar_panel_border='#41464d',
    logo_bg='#e9edf1',
    title='#8cc4f2', title_bg=split_title(w, p),
    disabled_text='#80868e', disabled_bg='#30343a', disabled_border='#43484f',
    readout_bg='#eef4f4', readout_border='#1d1f23', readout_border_width='2px',
    button_bg=vgrad('#4a5058', '#3c4148'), button_text='#eef0f2',
    input_bg='#1f2226', input_text='#eef0f2', readonly_bg='#272a2f', button_flat='#3a3f46',
    alt_row='#262a2e', grid='#3c4148', header_bg='#3a3f46', header_text='#e3e6ea', header_border='#2b2e33',
    track='#25282c', handle='#5b626b', handle_hover='#737b86', handle_face='#d5dae0', progress=vgrad('#5aa6e6', '#3d8fd6'),
    tab_bg='#2f3338', tab_text='#c4c9cf',
)

# 2: Steel blue - the default, light
w, p = '#e6ecf3', '#f5f8fb'
skins[2] = dict(
    name='Steel Blue', description='Cool light greys with steel-blue accents and softly shaded bars and buttons.',
    window=w, panel=p, text='#1c2836', accent='#3a6ea5', accent_text='#ffffff', accent_dark='#2a5580',
    focus='#1f7ae0', focus_soft='rgba(31, 122, 224, 28)', hover='#d5e2f0', hover_soft='rgba(58, 110, 165, 22)', pressed='#b9cfe6',
    border='#b3c1d1', border_strong='#8499b0',
    tip_text='#1c2836', tip_bg='#fdfdfe', tip_border='#8499b0',
    menubar_bg=vgrad('#f7f9fc', '#dfe7f0'), menubar_text='#1c2836', menubar_border='#b3c1d1', menubar_hover='#c9d9ea', menubar_hover_text='#10243a',
    menu_bg='#fbfcfe', small_radius='3px', radius='4px',
    toolbar_bg=vgrad('#eef3f8', '#d7e1ec'), toolbar_border='#b3c1d1',
    toolbutton_bg='transparent', toolbutton_border='transparent', toolbutton_disabled_bg='transparent',
    statusbar_bg=vgrad('#e3eaf2', '#d3dde8'), statusbar_text='#1c2836', statusbar_border='#b3c1d1', statusbar_panel='#f3f6fa', statusbar_panel_border='#b3c1d1',
    logo_bg='#f3f6fa',
    title='#2a5580', title_bg=split_title(w, p),
    disabled_text='#8a96a4', disabled_bg='#e9edf2', disabled_border='#c9d2dc',
    readout_bg='#ffffff', readout_border='#8499b0', readout_border_width='1px',
    button_bg=vgrad('#fbfcfe', '#dce5ef'), button_text='#1c2836',
    input_bg='#ffffff', input_text='#1c2836', readonly_bg='#f1f4f8', button_flat='#e8eef5',
    alt_row='#f1f5fa', grid='#d2dbe5', header_bg=vgrad('#f4f7fa', '#dfe7f0'), header_text='#1c2836', header_border='#b3c1d1',
    track='#dde5ee', handle='#a9b8c9', handle_hover='#8499b0', handle_face=vgrad('#ffffff', '#e3eaf2'), progress=vgrad('#5b8fc6', '#3a6ea5'),
    tab_bg='#dde5ee', tab_text='#3a4a5c',
)

# 3: Warm sand
w, p = '#f1e8d8', '#fbf6ed'
skins[3] = dict(
    name='Warm Sand', description='Sand and parchment tones with terracotta accents and generously rounded, flat controls.',
    window=w, panel=p, text='#3a2e22', accent='#b5652b', accent_text='#ffffff', accent_dark='#8c4b1d',
    focus='#2f6db5', focus_soft='rgba(47, 109, 181, 24)', hover='#efdcc2', hover_soft='rgba(181, 101, 43, 24)', pressed='#e3c49b',
    border='#d6c3a3', border_strong='#b09671',
    tip_text='#3a2e22', tip_bg='#fffaf0', tip_border='#b09671',
    menubar_bg='#e8d9bf', menubar_text='#3a2e22', menubar_border='#cdb58f', menubar_hover='#dcc39c', menubar_hover_text='#2c2118',
    menu_bg='#fffaf2', small_radius='5px', radius='8px',
    toolbar_bg='#eadcc4', toolbar_border='#cdb58f',
    toolbutton_bg='transparent', toolbutton_border='transparent', toolbutton_disabled_bg='transparent',
    statusbar_bg='#e8d9bf', statusbar_text='#3a2e22', statusbar_border='#cdb58f', statusbar_panel='#f7efe1', statusbar_panel_border='#d6c3a3',
    logo_bg='#fffaf2',
    title='#8c4b1d', title_bg=split_title(w, p),
    disabled_text='#9c8c78', disabled_bg='#efe6d7', disabled_border='#dccdb5',
    readout_bg='#fffdf8', readout_border='#b09671', readout_border_width='1px',
    button_bg='#f6ead6', button_text='#3a2e22',
    input_bg='#fffdf8', input_text='#3a2e22', readonly_bg='#f7f0e4', button_flat='#f1e4cf',
    alt_row='#faf3e7', grid='#e6d9c3', header_bg='#ecdcc2', header_text='#3a2e22', header_border='#d6c3a3',
    track='#eadfcc', handle='#c9b08a', handle_hover='#b09671', handle_face='#fffaf2', progress='#c97a3d',
    tab_bg='#ecdfca', tab_text='#5a4632',
)

# 4: Ocean teal
w, p = '#e1eff0', '#f4fafa'
skins[4] = dict(
    name='Ocean Teal', description='Pale aqua surfaces under a deep teal menu bar, with teal title badges on every group.',
    window=w, panel=p, text='#12363a', accent='#0e7c86', accent_text='#ffffff', accent_dark='#095a61',
    focus='#e0582a', focus_soft='rgba(224, 88, 42, 24)', hover='#c8e6e8', hover_soft='rgba(14, 124, 134, 22)', pressed='#9fd3d7',
    border='#9cc7cb', border_strong='#64a3a9',
    tip_text='#ffffff', tip_bg='#0c5960', tip_border='#073e43',
    menubar_bg=vgrad('#117a84', '#0b5f67'), menubar_text='#ffffff', menubar_border='#073e43', menubar_hover='#1a96a1', menubar_hover_text='#ffffff',
    menu_bg='#f7fcfc', small_radius='3px', radius='3px',
    toolbar_bg=vgrad('#d4ecee', '#bfe0e3'), toolbar_border='#8fbfc4',
    toolbutton_bg='transparent', toolbutton_border='transparent', toolbutton_disabled_bg='transparent',
    statusbar_bg='#0b5f67', statusbar_text='#12363a', statusbar_border='#073e43', statusbar_panel='#e9f5f6', statusbar_panel_border='#073e43',
    logo_bg='#ffffff',
    title='#ffffff', title_bg='#0e7c86',
    disabled_text='#7f9fa2', disabled_bg='#e4eeef', disabled_border='#c2d8da',
    readout_bg='#ffffff', readout_border='#64a3a9', readout_border_width='1px',
    button_bg='#f4fafa', button_text='#12363a',
    input_bg='#ffffff', input_text='#12363a', readonly_bg='#eef6f7', button_flat='#dbeeef',
    alt_row='#eef7f8', grid='#c9e1e3', header_bg='#0e7c86', header_text='#ffffff', header_border='#0a626a',
    track='#d3e8ea', handle='#7fb8bd', handle_hover='#4f9ba2', handle_face='#ffffff', progress='#14a0ab',
    tab_bg='#cfe6e8', tab_text='#12363a',
)

# 5: High contrast
w, p = '#000000', '#000000'
skins[5] = dict(
    name='High Contrast', description='White on black with yellow selections and a thick cyan focus ring; square edges and strong outlines.',
    window=w, panel=p, text='#ffffff', accent='#ffff00', accent_text='#000000', accent_dark='#ffffff',
    focus='#00ffff', focus_soft='rgba(0, 255, 255, 50)', hover='#303030', hover_soft='#1a1a1a', pressed='#505000',
    border='#ffffff', border_strong='#ffffff',
    tip_text='#000000', tip_bg='#ffff00', tip_border='#ffffff',
    menubar_bg='#000000', menubar_text='#ffffff', menubar_border='#ffffff', menubar_hover='#ffff00', menubar_hover_text='#000000',
    menu_bg='#000000', small_radius='0px', radius='0px',
    toolbar_bg='#000000', toolbar_border='#ffffff',
    toolbutton_bg='#ffffff', toolbutton_border='#ffffff', toolbutton_disabled_bg='#7a7a7a',
    statusbar_bg='#000000', statusbar_text='#ffffff', statusbar_border='#ffffff', statusbar_panel='#000000', statusbar_panel_border='#ffffff',
    logo_bg='#ffffff',
    title='#ffff00', title_bg='#000000',
    disabled_text='#a8a8a8', disabled_bg='#1a1a1a', disabled_border='#8a8a8a',
    readout_bg='#ffffff', readout_border='#ffff00', readout_border_width='2px',
    button_bg='#000000', button_text='#ffffff',
    input_bg='#000000', input_text='#ffffff', readonly_bg='#1a1a1a', button_flat='#000000',
    alt_row='#141414', grid='#ffffff', header_bg='#000000', header_text='#ffff00', header_border='#ffffff',
    track='#000000', handle='#ffffff', handle_hover='#ffff00', handle_face='#ffffff', progress='#ffff00',
    tab_bg='#000000', tab_text='#ffffff',
)

# 6: Soft green
w, p = '#e8f0e4', '#f7fbf5'
skins[6] = dict(
    name='Soft Green', description='Calm sage greens with leaf-green accents, pill-shaped buttons and a light, airy status bar.',
    window=w, panel=p, text='#20321d', accent='#4a8a40', accent_text='#ffffff', accent_dark='#356a2d',
    focus='#1d6fa5', focus_soft='rgba(29, 111, 165, 24)', hover='#d5e8cf', hover_soft='rgba(74, 138, 64, 22)', pressed='#b8d9ae',
    border='#b6cfad', border_strong='#8cb180',
    tip_text='#20321d', tip_bg='#fbfdf9', tip_border='#8cb180',
    menubar_bg=vgrad('#f3f8f0', '#dcead6'), menubar_text='#20321d', menubar_border='#b6cfad', menubar_hover='#c9e2c0', menubar_hover_text='#16270f',
    menu_bg='#fbfdf9', small_radius='4px', radius='11px',
    toolbar_bg=vgrad('#eef5eb', '#dcead6'), toolbar_border='#b6cfad',
    toolbutton_bg='transparent', toolbutton_border='transparent', toolbutton_disabled_bg='transparent',
    statusbar_bg='#f1f7ee', statusbar_text='#20321d', statusbar_border='#b6cfad', statusbar_panel='#ffffff', statusbar_panel_border='#cfe0c8',
    logo_bg='#ffffff',
    title='#356a2d', title_bg=split_title(w, p),
    disabled_text='#8c9c88', disabled_bg='#eaf0e7', disabled_border='#cfdcc9',
    readout_bg='#ffffff', readout_border='#8cb180', readout_border_width='1px',
    button_bg=vgrad('#fbfdf9', '#e0eed9'), button_text='#20321d',
    input_bg='#ffffff', input_text='#20321d', readonly_bg='#f3f8f0', button_flat='#e6f0e1',
    alt_row='#f2f8ef', grid='#d6e5d0', header_bg=vgrad('#f3f8f0', '#dcead6'), header_text='#20321d', header_border='#b6cfad',
    track='#dde9d7', handle='#a6c69b', handle_hover='#8cb180', handle_face=vgrad('#ffffff', '#e6f0e1'), progress=vgrad('#6aa85f', '#4a8a40'),
    tab_bg='#dce9d6', tab_text='#35502f',
)

extra = {
 1: dict(toolbutton_text='#1c1e22', toolbutton_hover='#ffffff', toolbutton_pressed='#aeb7c2', statusbar_panel_text='#e3e6ea'),
 2: dict(toolbutton_text='#1c2836', toolbutton_hover='#d5e2f0', toolbutton_pressed='#b9cfe6', statusbar_panel_text='#1c2836'),
 3: dict(toolbutton_text='#3a2e22', toolbutton_hover='#f6e6cc', toolbutton_pressed='#e3c49b', statusbar_panel_text='#3a2e22'),
 4: dict(toolbutton_text='#12363a', toolbutton_hover='#e8f6f7', toolbutton_pressed='#9fd3d7', statusbar_panel_text='#12363a'),
 5: dict(toolbutton_text='#000000', toolbutton_hover='#ffff00', toolbutton_pressed='#c8c800', statusbar_panel_text='#ffffff'),
 6: dict(toolbutton_text='#20321d', toolbutton_hover='#d5e8cf', toolbutton_pressed='#b8d9ae', statusbar_panel_text='#20321d'),
}
skins[4]['statusbar_text'] = '#ffffff'
for n, s in skins.items():
    s.setdefault('tab_selected_text', s['title'])
    s.setdefault('header_checked', s['pressed'])
skins[4]['tab_selected_text'] = '#095a61'
skins[4]['header_checked'] = '#095a61'
skins[5]['progress'] = '#1a75ff'
for n, s in skins.items():
    s.update(extra[n])
    s['number'] = str(n)
    s['number2'] = f'{n:02d}'
    out = tpl.substitute(s)
    import os
    d = os.path.join(OUT, f'{n:02d}')
    os.makedirs(d, exist_ok=True)
    arrow, off, check = s['input_text'], s['disabled_text'], s['accent_text']
    def chevron(path, colour):
        return ('<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10" viewBox="0 0 10 10">'
                f'<path d="{path}" fill="none" stroke="{colour}" stroke-width="1.7" '
                'stroke-linecap="round" stroke-linejoin="round"/></svg>\n')
    files = {
        'down.svg': chevron('M2 3.5 L5 6.5 L8 3.5', arrow),
        'up.svg': chevron('M2 6.5 L5 3.5 L8 6.5', arrow),
        'down-off.svg': chevron('M2 3.5 L5 6.5 L8 3.5', off),
        'up-off.svg': chevron('M2 6.5 L5 3.5 L8 6.5', off),
        'partial.svg': ('<svg xmlns="http://www.w3.org/2000/svg" width="12" height="12" viewBox="0 0 12 12">'
                        f'<path d="M3 6 H9" fill="none" stroke="{check}" stroke-width="1.9" stroke-linecap="round"/></svg>\n'),
        'check.svg': ('<svg xmlns="http://www.w3.org/2000/svg" width="12" height="12" viewBox="0 0 12 12">'
                      f'<path d="M2.4 6.3 L5 8.8 L9.7 3.4" fill="none" stroke="{check}" stroke-width="1.9" '
                      'stroke-linecap="round" stroke-linejoin="round"/></svg>\n'),
    }
    for name, text in files.items():
        open(os.path.join(d, name), 'w').write(text)
    open(os.path.join(OUT, f'{n:02d}.vqs'), 'w').write(out)
print('written')
