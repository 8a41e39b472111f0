#pragma once
// The pending launch argument: what either login route hands to the game launch.

// Stores text, converted to the GUI thread's ANSI code page, as theApp.m_strLaunchArgument.
// Characters the code page cannot hold become its default character.
void SetLaunchArgument(const wchar_t* text);
