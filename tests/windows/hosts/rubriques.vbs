' Rubrics and their lines after a computation: values and their text
' forms, forcing, the dependency lines, text and date rubrics, and
' identity (Is).
Dim calcul, rubriques, a, b, c, d, nom, jour, lignes, ligne, dep, n, objet, ok

On Error Resume Next
Set calcul = CreateObject("Qx_TVA.CCalculTVA")
ok = calcul.Init(dossier & "donnees_hotes.xml", dossier & "rubriques_hotes.xml", "")
Set rubriques = calcul.Rubriques
Set a = rubriques("T1A")
Set b = calcul.Rubriques("t1b")
Set c = rubriques("T1C")
Set d = rubriques("T1D")
Set nom = rubriques("T1NOM")
Set jour = rubriques("T1JOUR")
VerifierSucces "Init, rubriques atteintes"

' What a rubric says of itself.
Verifier a.CodeImprime = "T1" And a.CodeRubrique = "A" And a.KeyRubrique = "T1A" And b.Condition = "POSITIF" And a.Condition = "", "codes, cle, conditions"
Verifier a.Longueur = 9 And nom.Longueur = 12 And jour.Longueur = 10 And d.Longueur = 9, "longueurs"
Verifier a.AsDouble = 1135 And a.AsString = "1135" And a.AsXML = "1135" And IsEmpty(a.ValeurInitiale), "formes du nombre, ValeurInitiale vide avant tout forcage"
Verifier a.CalculTVA Is calcul And a Is rubriques(1), "identite du moteur et de la rubrique"

' Lines: values as loaded, lines by position only, the same objects back.
Set lignes = a.LignesRubrique
Verifier lignes Is a.LignesRubrique And lignes.Count = 2, "lignes de compte"
Set ligne = lignes(1)
Verifier ligne.Compte = "706" And ligne.TypeTaux = "9" And ligne.CategorieAV = "9" And ligne.Sens = -1 And ligne.TypeCumul = 1, "ligne 1 lue"
Verifier lignes.Item(2).TypeCumul = -1 And lignes.Item(2).Sens = 1 And VarType(ligne.Sens) = vbInteger And a.LignesRubrique(1) Is ligne, "ligne 2 lue, la meme ligne 1 revient"
ligne.Compte = "7061"
Verifier lignes(1).Compte = "7061", "champ de ligne modifiable"
Set objet = lignes.Item("706")
VerifierErreur 5, "une ligne par cle"
Set objet = lignes.Item(3)
VerifierErreur 9, "ligne hors bornes"
Verifier a.LignesDependance.Count = 2 And b.LignesDependance.Count = 0 And b.LignesRubrique.Count = 0, "collections vides creees"
Verifier a.LignesDependance(1).RubriqueDep Is b And a.LignesDependance(2).RubriqueDep Is c And a.LignesDependance(2).Sens = -1, "dependances vers B, en minuscules vers C"
Verifier d.LignesDependance(1).RubriqueDep Is Nothing And d.LignesDependance(1).CodeImprime = "XX", "dependance sans cible"
n = 0
For Each dep In a.LignesDependance
    n = n + dep.Sens
Next
Verifier n = 0, "For Each sur les dependances"

' Forcing and values of other kinds. (Propagation, rounding and removed
' lines in depth: tests/rubrics/rubrique_test.cpp.)
a.ForceValeur 1000
Verifier Err.Number = 0 And a.Valeur = 1000 And a.ValeurInitiale = 1135 And a.IsForce And b.Valeur = 1000 And c.Valeur = -1000 And b.IsForce And c.IsForce, "A force, forcage propage"
a.Valeur = "12.5"
Verifier a.Valeur = 12.5 And b.Valeur = 12.5, "texte decimal"
a.Valeur = "douze"
VerifierErreur 13, "texte non numerique"
a.ForceValeur Null
VerifierErreur 94, "Null force"
a.ForceValeur Nothing
VerifierErreur 91, "Nothing force"
a.Valeur = Array(1)
VerifierErreur 13, "tableau pour une valeur"
Verifier a.Valeur = 12.5 And b.Valeur = 12.5, "valeur gardee apres les refus"
a.Valeur = 10.4
a.Arrondir True
Verifier a.Valeur = 10, "Arrondir"
a.AsXML = "99.5"
Verifier a.Valeur = 99.5, "AsXML en ecriture"

' A dependency line pointed elsewhere by the host, then cleared.
Set a.LignesDependance(1).RubriqueDep = d
Verifier a.LignesDependance(1).RubriqueDep Is d, "cible changee par l'hote"
Set a.LignesDependance(1).RubriqueDep = Nothing
Verifier a.LignesDependance(1).RubriqueDep Is Nothing, "cible effacee"
Set a.LignesDependance(1).RubriqueDep = lignes
VerifierErreur 13, "une collection pour une rubrique"

' Text and date rubrics.
Verifier VarType(nom.Valeur) = vbString And nom.Valeur = "" And nom.AsDouble = 0, "texte vide"
nom.Valeur = "Caf" & e_aigu & " " & Chr(128)
Verifier nom.AsString = "Caf" & e_aigu & " " & Chr(128) And nom.AsXML = nom.Valeur And nom.IsForce, "texte accentue garde"
Verifier jour.AsXML = "" And VarType(jour.Valeur) = vbDate, "date du jour ecrite vide"
jour.AsXML = "2024-03-15"
Verifier jour.AsXML = "2024-03-15" And jour.Valeur = DateSerial(2024, 3, 15) And Left(jour.AsString, 6) = "15/03/", "date en ecriture, affichee (" & jour.AsString & ")"
jour.AsXML = "2024-xx-15"
VerifierErreur 13, "date illisible"
jour.Valeur = "pas une date"
Verifier jour.AsString = "", "date illisible affichee vide"
Dim xml
xml = jour.AsXML
VerifierErreur 13, "AsXML d'une date illisible"

' The same objects however they are reached; a collection released
' before its rubrics, the engine before its rubrics.
Verifier rubriques.Item(2) Is b And a.LignesDependance(1).RubriqueDep Is Nothing, "identite"
Set rubriques = Nothing
Set calcul = Nothing
Verifier a.LignesRubrique(1).Compte = "7061" And a.Valeur = 99.5, "rubriques vivantes apres le moteur"
On Error GoTo 0
Terminer "rubriques"
